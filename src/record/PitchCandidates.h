#pragma once

#include <cstddef>
#include <vector>

// One possible pitch of a frame and how likely it is.
struct PitchCandidate {
    float note = 0.0f; // fractional MIDI note
    float probability = 0.0f;
};

// What one frame of a recording says about its pitch.
struct PitchFrame {
    static constexpr int kMaxCandidates = 6;
    PitchCandidate candidates[kMaxCandidates];
    int count = 0;       // most probable first
    float voiced = 0.0f; // probability that the frame has a pitch at all
};

// Pitch candidates of a frame with their probabilities, after the probabilistic form of
// the YIN estimator: the cumulative-mean-normalised difference function is read at a
// hundred thresholds weighted by a beta distribution, each threshold voting for the
// first dip below it, so that a frame with two plausible periods keeps both and the
// note model after it can choose by context. The frame's chance of being voiced at all
// follows the depth of its deepest dip. A frame too quiet to be sung is given no pitch
// before any lag is tried.
class PitchCandidates {
public:
    // `minSwing` is the smallest peak-to-peak swing, full scale being 2, of a frame
    // that may be voiced.
    PitchCandidates(double rate, double lowFrequency, double highFrequency, double minSwing);

    // Samples one frame reads.
    std::size_t FrameSamples() const { return window_ + maxLag_ + 1; }
    // Analyses x[0 .. FrameSamples()).
    void Analyse(const float* x, PitchFrame& out);

private:
    void Candidates(PitchFrame& out);

    double rate_;
    std::size_t minLag_;
    std::size_t maxLag_;
    std::size_t window_;
    float minSwing_;
    std::vector<double> prior_; // weight of each threshold
    std::vector<float> difference_;
    std::vector<float> normalised_;
    struct Low {
        std::size_t lag;
        float value;
    };
    std::vector<Low> lows_; // each new lowest value of the normalised difference
};
