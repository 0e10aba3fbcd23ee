#include "record/PitchCandidates.h"

#include <algorithm>
#include <cmath>

#include "record/PitchConversions.h"

namespace {

// Thresholds 0.01, 0.02 ... 1.00, weighted by a beta distribution of mean 0.15: most
// trust goes to clear dips, a little to weak ones.
constexpr int kThresholds = 100;
constexpr double kBetaA = 2.0;
constexpr double kBetaMean = 0.15;
// Weight kept for the deepest dip when no dip reaches a threshold.
constexpr double kDeepestDipWeight = 0.01;
// Deepest dip at which a frame is as likely voiced as not, and how fast that changes.
constexpr double kVoicedDepth = 0.45;
constexpr double kVoicedSpread = 0.086;
// The integration window, in seconds.
constexpr double kWindowSeconds = 512.0 / 22050.0;

// Σ (a[i] - b[i])² over n samples; the pragma lets the sum be reordered into vector lanes.
float SquaredDifference(const float* a, const float* b, std::size_t n) {
    float sum = 0.0f;
#pragma omp simd reduction(+ : sum)
    for (std::size_t i = 0; i < n; ++i) {
        const float d = a[i] - b[i];
        sum += d * d;
    }
    return sum;
}

} // namespace

PitchCandidates::PitchCandidates(double rate, double lowFrequency, double highFrequency,
                                 double minSwing)
    : rate_(rate), minSwing_(static_cast<float>(minSwing)) {
    minLag_ = std::max<std::size_t>(2, static_cast<std::size_t>(rate / highFrequency));
    maxLag_ = std::max(minLag_ + 1, static_cast<std::size_t>(std::ceil(rate / lowFrequency)));
    window_ = std::max(maxLag_, static_cast<std::size_t>(std::lround(kWindowSeconds * rate)));
    const double betaB = kBetaA * (1.0 - kBetaMean) / kBetaMean;
    double total = 0.0;
    for (int i = 1; i <= kThresholds; ++i) {
        const double s = static_cast<double>(i) / kThresholds;
        const double w = std::pow(s, kBetaA - 1.0) * std::pow(1.0 - s, betaB - 1.0);
        prior_.push_back(w);
        total += w;
    }
    for (double& w : prior_)
        w /= total;
    difference_.resize(maxLag_ + 2);
    normalised_.resize(maxLag_ + 2);
    lows_.reserve(maxLag_ + 1);
}

void PitchCandidates::Analyse(const float* x, PitchFrame& out) {
    out = PitchFrame{};
    const auto [low, high] = std::minmax_element(x, x + window_ + maxLag_);
    if (*high - *low < minSwing_)
        return;

    difference_[0] = 0.0f;
    normalised_[0] = 1.0f;
    double running = 0.0;
    for (std::size_t lag = 1; lag <= maxLag_ + 1; ++lag) {
        const float d = SquaredDifference(x, x + lag, window_);
        difference_[lag] = d;
        running += d;
        normalised_[lag] = running > 0.0 ? static_cast<float>(d * lag / running) : 1.0f;
    }
    Candidates(out);
}

void PitchCandidates::Candidates(PitchFrame& out) {
    // Each new lowest value, scanning from the shortest lag: a threshold picks the first
    // of these below it, then the bottom of the dip it fell into.
    lows_.clear();
    float lowest = 2.0f;
    for (std::size_t lag = minLag_; lag <= maxLag_; ++lag) {
        if (normalised_[lag] < lowest) {
            lowest = normalised_[lag];
            lows_.push_back({lag, lowest});
        }
    }
    if (lows_.empty())
        return;
    auto bottom = [&](std::size_t lag) {
        while (lag < maxLag_ && normalised_[lag + 1] < normalised_[lag])
            ++lag;
        return lag;
    };

    struct Vote {
        std::size_t lag;
        double weight;
    };
    Vote votes[kThresholds + 1];
    int voteCount = 0;
    auto add = [&](std::size_t lag, double weight) {
        for (int v = 0; v < voteCount; ++v)
            if (votes[v].lag == lag) {
                votes[v].weight += weight;
                return;
            }
        votes[voteCount++] = {lag, weight};
    };
    const std::size_t deepest = bottom(lows_.back().lag);
    for (int i = 0; i < kThresholds; ++i) {
        const float threshold = static_cast<float>(i + 1) / kThresholds;
        // The lows fall, so the first one below the threshold is found by bisection.
        const auto first =
            std::partition_point(lows_.begin(), lows_.end(),
                                 [threshold](const Low& l) { return !(l.value < threshold); });
        if (first == lows_.end())
            add(deepest, prior_[i] * kDeepestDipWeight);
        else
            add(bottom(first->lag), prior_[i]);
    }

    std::sort(votes, votes + voteCount,
              [](const Vote& a, const Vote& b) { return a.weight > b.weight; });
    double total = 0.0;
    for (int v = 0; v < voteCount; ++v)
        total += votes[v].weight;
    // Whether the frame has a pitch at all goes by how deep its deepest dip is: noise
    // leaves it near 0.8 (white) or 0.6 to 1 (pink), a choir or a breathy voice near 0.2
    // to 0.35, a clear tone near 0. The votes only share that out among the candidates.
    out.voiced = static_cast<float>(
        1.0 / (1.0 + std::exp((normalised_[deepest] - kVoicedDepth) / kVoicedSpread)));
    for (int v = 0; v < voteCount && v < PitchFrame::kMaxCandidates; ++v) {
        // A parabola through the dip and its neighbours places the period between lags.
        const std::size_t lag = votes[v].lag;
        double period = static_cast<double>(lag);
        const double a = normalised_[lag - 1];
        const double b = normalised_[lag];
        const double c = normalised_[lag + 1];
        const double curve = a - 2.0 * b + c;
        if (curve > 0.0)
            period += std::clamp(0.5 * (a - c) / curve, -1.0, 1.0);
        out.candidates[out.count++] = {static_cast<float>(FractionalNote(rate_ / period)),
                                       static_cast<float>(out.voiced * votes[v].weight / total)};
    }
}
