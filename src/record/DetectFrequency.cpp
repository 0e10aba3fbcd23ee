#include "record/DetectFrequency.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace {

// Lags and frame sizes far beyond any real window are treated as "cannot analyse".
constexpr double kLagLimit = 1.0e9;

bool TruncToCount(double value, long& out) {
    if (!(value < kLagLimit))
        return false; // also NaN
    out = value < 0.0 ? 0 : static_cast<long>(value);
    return true;
}

struct FrameShape {
    long minLag = 0;
    long maxLag = 0;
    long frameLength = 0; // L
    long half = 0;        // H
};

bool ShapeFrame(double sampleRate, double lowFrequency, double highFrequency, FrameShape& shape) {
    if (!TruncToCount(sampleRate / highFrequency, shape.minLag) ||
        !TruncToCount(sampleRate / lowFrequency, shape.maxLag) ||
        !TruncToCount(sampleRate / lowFrequency * 2.0, shape.frameLength))
        return false;
    shape.minLag = std::max(shape.minLag, 2L);
    shape.half = shape.frameLength / 2;
    return true;
}

// Sum of |a[i] - b[i]| over a fixed number of samples, in 32 bits (N * 65535 fits), so
// that the compiler can vectorise it.
template <int N> inline std::int32_t BlockAbsDiff(const std::int16_t* a, const std::int16_t* b) {
    std::int32_t sum = 0;
    for (int i = 0; i < N; ++i) {
        const std::int32_t d = std::int32_t{a[i]} - std::int32_t{b[i]};
        sum += d < 0 ? -d : d;
    }
    return sum;
}

constexpr int kBlock = 64;

// Σ|x[i] - x[i+k]| over [0, H), given up once it reaches `cutoff`: the partial sums only
// grow, so a lag that reaches the cutoff can never pass the strict tests against it.
// Returns false for such a lag; otherwise `sum` is the exact full sum.
bool LagSumBelow(const std::int16_t* x, long k, long half, double cutoff, std::int64_t& sum) {
    std::int64_t s = 0;
    long i = 0;
    const long blocks = half - half % kBlock;
    for (; i < blocks; i += kBlock) {
        s += BlockAbsDiff<kBlock>(x + i, x + i + k);
        if (static_cast<double>(s) >= cutoff)
            return false;
    }
    for (; i < half; ++i) {
        const std::int32_t d = std::int32_t{x[i]} - std::int32_t{x[i + k]};
        s += d < 0 ? -d : d;
    }
    sum = s;
    return true;
}

// Scaling that evens out a decaying or swelling tone before its peaks are counted:
// samples grow linearly with their distance from the louder end of the frame.
struct Envelope {
    long positiveAnchor = 0;
    double positiveSlope = 0.0;
    long negativeAnchor = 0;
    double negativeSlope = 0.0;

    std::int16_t Apply(std::int16_t sample, long i) const {
        const bool positive = sample > 0;
        const long anchor = positive ? positiveAnchor : negativeAnchor;
        const double slope = positive ? positiveSlope : negativeSlope;
        double y = sample * (1.0 + static_cast<double>(std::labs(i - anchor)) * slope);
        y = std::clamp(y, -32768.0, 32767.0);
        return static_cast<std::int16_t>(y);
    }
};

// Largest sample (from 1) and, among the samples that are not a new largest, the
// smallest (from -1).
void Extremes(const std::int16_t* x, long count, int& high, int& low) {
    high = 1;
    low = -1;
    for (long i = 0; i < count; ++i) {
        if (x[i] > high)
            high = x[i];
        else if (x[i] < low)
            low = x[i];
    }
}

Envelope MeasureEnvelope(const std::int16_t* x, long k, long half) {
    int aHigh, aLow, bHigh, bLow;
    Extremes(x, k, aHigh, aLow);
    Extremes(x + half, k, bHigh, bLow);
    const double span = static_cast<double>(half + k);
    Envelope e;
    if (aHigh < bHigh) {
        e.positiveAnchor = half + k;
        e.positiveSlope = (static_cast<double>(bHigh) / aHigh) / span;
    } else {
        e.positiveAnchor = 0;
        e.positiveSlope = (static_cast<double>(aHigh) / bHigh) / span;
    }
    if (-bLow > -aLow) {
        e.negativeAnchor = half + k;
        e.negativeSlope = (static_cast<double>(bLow) / aLow) / span;
    } else {
        e.negativeAnchor = 0;
        e.negativeSlope = (static_cast<double>(aLow) / bLow) / span;
    }
    return e;
}

// Alternations between samples above the frame's peak level and below its trough level.
int CountPeaks(const std::int16_t* x, long half, const Envelope& e, double highLevel,
               double lowLevel) {
    enum { None, High, Low } state = None;
    int count = 0;
    for (long i = 0; i < half; ++i) {
        const int y = e.Apply(x[i], i);
        if (y > 0 && y > highLevel && state != High) {
            state = High;
            ++count;
        }
        if (y <= 0 && -y > lowLevel && state != Low) {
            state = Low;
            ++count;
        }
    }
    return count;
}

std::int64_t CorrectedLagSum(const std::int16_t* x, long k, long half, const Envelope& e) {
    std::int64_t s = 0;
    for (long i = 0; i < half; ++i)
        s += std::abs(int{e.Apply(x[i], i)} - int{e.Apply(x[i + k], i + k)});
    return s;
}

} // namespace

long DetectFrequencyMaxCandidates(double sampleRate, double lowFrequency, double highFrequency) {
    FrameShape shape;
    if (!ShapeFrame(sampleRate, lowFrequency, highFrequency, shape))
        return 0;
    return std::max(0L, shape.maxLag - shape.minLag + 1);
}

int DetectFrequency(const std::int16_t* x, long availableSamples, double sampleRate,
                    std::uint32_t* length, bool bReturnOnlyOneFrequency, bool stopAtFirst,
                    double tolerance, double* daFrequencies, double* daConfidences,
                    std::int32_t* piNumFrequenciesRecorded, double* dpThreshhold, long minVolume,
                    double lowFrequency, double highFrequency, double peakFraction,
                    double peakWeight, bool refineLag, bool envelopeCorrection) {
    *piNumFrequenciesRecorded = 0;
    *daFrequencies = 0.0;
    FrameShape shape;
    // The silence test reads minLag samples, which exceeds the frame when the highest
    // pitch lies below the lowest.
    if (!ShapeFrame(sampleRate, lowFrequency, highFrequency, shape) || shape.half < 1 ||
        std::max(shape.frameLength, shape.minLag) > availableSamples) {
        *length = 0;
        return kDetectNeedMoreSamples;
    }
    const long minLag = shape.minLag;
    const long maxLag = shape.maxLag;
    const long half = shape.half;

    int frameMax = -32768;
    int frameMin = 32767;
    for (long i = 0; i < minLag; ++i) {
        frameMax = std::max(frameMax, int{x[i]});
        frameMin = std::min(frameMin, int{x[i]});
    }
    if (frameMax - frameMin < minVolume) {
        *length = static_cast<std::uint32_t>(minLag);
        return kDetectSilent;
    }
    std::int64_t magnitude = 0;
    std::int64_t firstDifference = 0;
    for (long i = 0; i < half; ++i) {
        frameMax = std::max(frameMax, int{x[i]});
        frameMin = std::min(frameMin, int{x[i]});
        magnitude += std::abs(int{x[i]});
        firstDifference += std::abs(int{x[i]} - int{x[i + 1]});
    }
    if (magnitude / half < minVolume / 4) {
        *length = static_cast<std::uint32_t>(half / 2);
        return kDetectSilent;
    }

    const double d = static_cast<double>(firstDifference);
    *dpThreshhold = d;
    *length = static_cast<std::uint32_t>(shape.frameLength);
    const double bound = d * tolerance;
    const double highLevel = frameMax * peakFraction;
    const double lowLevel = -frameMin * peakFraction;
    // A score is never below its lag sum when the peak weight is not negative, so in the
    // one-frequency mode a lag whose sum already reaches the best score cannot win.
    const bool pruneByBest = bReturnOnlyOneFrequency && !envelopeCorrection && peakWeight >= 0.0;
    double best = DBL_MAX;

    for (long k = minLag; k <= maxLag; ++k) {
        const double cutoff = pruneByBest ? std::min(bound, best) : bound;
        std::int64_t lagSum = 0;
        if (!LagSumBelow(x, k, half, cutoff, lagSum))
            continue;
        double s = static_cast<double>(lagSum);
        if (!(s < bound))
            continue;

        const Envelope envelope = MeasureEnvelope(x, k, half);
        const int count = CountPeaks(x, half, envelope, highLevel, lowLevel);
        const double periods = static_cast<double>(half) / static_cast<double>(k);
        const double crossings = count / periods;
        const double expected = (2.0 * periods + 1.0) / periods;
        if (envelopeCorrection)
            s = static_cast<double>(CorrectedLagSum(x, k, half, envelope));
        const double period = refineLag ? static_cast<double>(k) + s / d : static_cast<double>(k);
        const double frequency = sampleRate / period;
        const double score = crossings < expected
                                 ? s * (1.0 + 2.0 * peakWeight * (expected - crossings))
                                 : s * (1.0 + peakWeight * std::fabs(expected - crossings));
        if (bReturnOnlyOneFrequency && !(score < best))
            continue;
        best = score;
        *daFrequencies = frequency;
        *daConfidences = score;
        *length = static_cast<std::uint32_t>(static_cast<double>(half) + period);
        ++*piNumFrequenciesRecorded;
        if (stopAtFirst)
            break;
        if (!bReturnOnlyOneFrequency) {
            ++daFrequencies;
            ++daConfidences;
        }
    }
    return kDetectDone;
}
