#pragma once

#include <cstdint>

// One analysed stretch of samples.
struct FrequencyAnalysisSegment {
    double frequency = 0.0;          // Hz, of the best candidate
    double confidence = 0.0;         // the best candidate's score; lower fits better
    double threshold = 0.0;          // the frame's first-difference sum
    std::uint32_t length = 0;        // samples this frame consumed
    std::int32_t candidateCount = 0; // 0: silent or unvoiced
};

// What DetectFrequency returns.
enum DetectResult { kDetectDone = 0, kDetectNeedMoreSamples = 1, kDetectSilent = 2 };

// Pitch of one frame by an average-magnitude-difference search over the lags between
// sampleRate / highFrequency and sampleRate / lowFrequency. A frame is
// 2 * sampleRate / lowFrequency samples; fewer available gives kDetectNeedMoreSamples
// with length 0. A frame too quiet for minVolume gives kDetectSilent.
//
// With bReturnOnlyOneFrequency, daFrequencies and daConfidences receive the best
// candidate; otherwise they are arrays that receive every candidate in lag order and
// must hold DetectFrequencyMaxCandidates(...) entries. piNumFrequenciesRecorded counts
// the accepted candidates (each improvement of the best, in the one-frequency mode).
int DetectFrequency(const std::int16_t* samples, long availableSamples, double sampleRate,
                    std::uint32_t* length, bool bReturnOnlyOneFrequency, bool stopAtFirst,
                    double tolerance, double* daFrequencies, double* daConfidences,
                    std::int32_t* piNumFrequenciesRecorded, double* dpThreshhold, long minVolume,
                    double lowFrequency, double highFrequency, double peakFraction,
                    double peakWeight, bool refineLag, bool envelopeCorrection);

// How many candidates the all-candidates mode can report at most.
long DetectFrequencyMaxCandidates(double sampleRate, double lowFrequency, double highFrequency);

// The search settings of the frame method, as DetectFrequency takes them.
struct FrameSearch {
    double tolerance = 0.0;
    long minVolume = 0;
    double lowFrequency = 0.0;
    double highFrequency = 0.0;
    double peakFraction = 0.0;
    double peakWeight = 0.0;
};

// DetectFrequency as the converter runs it, in the one-frequency mode with neither lag
// refinement nor envelope correction: the same frequency, score and length, found
// without the cost that noise brings, and a frame without a clear period (noise of any
// colour) called unvoiced. A frame is voiced when out.candidateCount > 0.
int DetectFrame(const std::int16_t* samples, long availableSamples, double sampleRate,
                const FrameSearch& search, FrequencyAnalysisSegment& out);
