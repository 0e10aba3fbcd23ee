#pragma once

#include <cstdint>

// The pitch detector written as the plain O(H x lags) loop, step by step, without any
// shortcut: what the shipped detector must match bit for bit.
int ReferenceDetectFrequency(const std::int16_t* x, long availableSamples, double sampleRate,
                             std::uint32_t* length, bool onlyOne, bool stopAtFirst,
                             double tolerance, double* frequencies, double* confidences,
                             std::int32_t* count, double* threshold, long minVolume,
                             double lowFrequency, double highFrequency, double peakFraction,
                             double peakWeight, bool refineLag, bool envelopeCorrection);
