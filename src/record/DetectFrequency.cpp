#include "record/DetectFrequency.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <vector>

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

// What a frame shows before any lag is tried.
struct FrameFacts {
    FrameShape shape;
    int frameMax = -32768;
    int frameMin = 32767;
    std::int64_t firstDifference = 0;
};

// The frame's shape and the two silence tests. kDetectDone with `length` the whole frame
// when the lags are to be searched.
int Prepare(const std::int16_t* x, long availableSamples, double sampleRate, double lowFrequency,
            double highFrequency, long minVolume, FrameFacts& f, std::uint32_t& length) {
    FrameShape& shape = f.shape;
    // The silence test reads minLag samples, which exceeds the frame when the highest
    // pitch lies below the lowest.
    if (!ShapeFrame(sampleRate, lowFrequency, highFrequency, shape) || shape.half < 1 ||
        std::max(shape.frameLength, shape.minLag) > availableSamples) {
        length = 0;
        return kDetectNeedMoreSamples;
    }
    for (long i = 0; i < shape.minLag; ++i) {
        f.frameMax = std::max(f.frameMax, int{x[i]});
        f.frameMin = std::min(f.frameMin, int{x[i]});
    }
    if (f.frameMax - f.frameMin < minVolume) {
        length = static_cast<std::uint32_t>(shape.minLag);
        return kDetectSilent;
    }
    std::int64_t magnitude = 0;
    for (long i = 0; i < shape.half; ++i) {
        f.frameMax = std::max(f.frameMax, int{x[i]});
        f.frameMin = std::min(f.frameMin, int{x[i]});
        magnitude += std::abs(int{x[i]});
        f.firstDifference += std::abs(int{x[i]} - int{x[i + 1]});
    }
    if (magnitude / shape.half < minVolume / 4) {
        length = static_cast<std::uint32_t>(shape.half / 2);
        return kDetectSilent;
    }
    length = static_cast<std::uint32_t>(shape.frameLength);
    return kDetectDone;
}

// A lag's score: its sum, raised the further the frame's peak count per period lies from
// what one period at that lag would show.
class LagScorer {
public:
    LagScorer(const std::int16_t* x, const FrameFacts& f, double peakFraction, double peakWeight)
        : x_(x), half_(f.shape.half), highLevel_(f.frameMax * peakFraction),
          lowLevel_(-f.frameMin * peakFraction), peakWeight_(peakWeight) {}

    double Score(long k, double s, const Envelope& envelope) const {
        const int count = CountPeaks(x_, half_, envelope, highLevel_, lowLevel_);
        const double periods = static_cast<double>(half_) / static_cast<double>(k);
        const double crossings = count / periods;
        const double expected = (2.0 * periods + 1.0) / periods;
        return crossings < expected ? s * (1.0 + 2.0 * peakWeight_ * (expected - crossings))
                                    : s * (1.0 + peakWeight_ * std::fabs(expected - crossings));
    }

private:
    const std::int16_t* x_;
    long half_;
    double highLevel_;
    double lowLevel_;
    double peakWeight_;
};

// Σ|x[i] - x[i+k]| over [0, H), whole.
std::int64_t LagSum(const std::int16_t* x, long k, long half) {
    std::int64_t sum = 0;
    LagSumBelow(x, k, half, DBL_MAX, sum);
    return sum;
}

// Lags scored one after another before a frame is searched best first instead.
constexpr int kLagsScoredInTurn = 24;
// Periodicity above which a frame counts as unvoiced: 0 repeats exactly; noise, white or
// pink, lies between 0.9 and 1.5; sung and played notes, even 20 dB under noise, below 0.7.
constexpr double kAperiodic = 0.8;

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
    FrameFacts f;
    const int ready = Prepare(x, availableSamples, sampleRate, lowFrequency, highFrequency,
                              minVolume, f, *length);
    if (ready != kDetectDone)
        return ready;
    const long half = f.shape.half;
    const double d = static_cast<double>(f.firstDifference);
    *dpThreshhold = d;
    const double bound = d * tolerance;
    const LagScorer scorer(x, f, peakFraction, peakWeight);
    // A score is never below its lag sum when the peak weight is not negative, so in the
    // one-frequency mode a lag whose sum already reaches the best score cannot win.
    const bool pruneByBest = bReturnOnlyOneFrequency && !envelopeCorrection && peakWeight >= 0.0;
    double best = DBL_MAX;

    for (long k = f.shape.minLag; k <= f.shape.maxLag; ++k) {
        const double cutoff = pruneByBest ? std::min(bound, best) : bound;
        std::int64_t lagSum = 0;
        if (!LagSumBelow(x, k, half, cutoff, lagSum))
            continue;
        double s = static_cast<double>(lagSum);
        if (!(s < bound))
            continue;

        const Envelope envelope = MeasureEnvelope(x, k, half);
        if (envelopeCorrection)
            s = static_cast<double>(CorrectedLagSum(x, k, half, envelope));
        const double period = refineLag ? static_cast<double>(k) + s / d : static_cast<double>(k);
        const double frequency = sampleRate / period;
        const double score = scorer.Score(k, s, envelope);
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

int DetectFrame(const std::int16_t* x, long availableSamples, double sampleRate,
                const FrameSearch& search, FrequencyAnalysisSegment& out) {
    out = FrequencyAnalysisSegment{};
    FrameFacts f;
    const int ready = Prepare(x, availableSamples, sampleRate, search.lowFrequency,
                              search.highFrequency, search.minVolume, f, out.length);
    if (ready != kDetectDone)
        return ready;
    const long half = f.shape.half;
    out.threshold = static_cast<double>(f.firstDifference);
    const double bound = out.threshold * search.tolerance;
    const LagScorer scorer(x, f, search.peakFraction, search.peakWeight);
    // Without a bound on the scores every lag must be scored, as DetectFrequency does.
    const bool bounded = search.peakWeight >= 0.0;

    double best = DBL_MAX;
    long bestLag = 0;
    std::int32_t improvements = 0;
    int scored = 0;
    bool lagByLag = true;
    for (long k = f.shape.minLag; k <= f.shape.maxLag; ++k) {
        std::int64_t lagSum = 0;
        if (!LagSumBelow(x, k, half, bounded ? std::min(bound, best) : bound, lagSum))
            continue;
        const double s = static_cast<double>(lagSum);
        if (!(s < bound))
            continue;
        if (bounded && ++scored > kLagsScoredInTurn) {
            lagByLag = false;
            break;
        }
        const double score = scorer.Score(k, s, MeasureEnvelope(x, k, half));
        if (!(score < best))
            continue;
        best = score;
        bestLag = k;
        ++improvements;
    }

    // The periodicity of a lag: its sum against the mean of the sums of all lags up to it.
    std::vector<std::int64_t> sums;
    auto periodic = [&](long k, std::int64_t cumulative) {
        return static_cast<double>(sums[static_cast<std::size_t>(k)]) * static_cast<double>(k) <=
               kAperiodic * static_cast<double>(cumulative);
    };
    if (!lagByLag) {
        // So many lags pass the tolerance (noise makes every lag pass) that the lags are
        // scored in the order of their sums instead: since a score never falls below its
        // sum, the search ends at the first sum above the best score so far. Equal scores
        // go to the shorter lag, as in the lag-by-lag search. A frame where no lag at
        // all is periodic enough is unvoiced whichever lag would win: nothing is scored.
        sums.resize(static_cast<std::size_t>(f.shape.maxLag) + 1);
        for (long k = 1; k <= f.shape.maxLag; ++k)
            sums[static_cast<std::size_t>(k)] = LagSum(x, k, half);
        std::int64_t cumulative = 0;
        bool anyPeriodic = false;
        std::vector<long> order;
        for (long k = 1; k <= f.shape.maxLag; ++k) {
            cumulative += sums[static_cast<std::size_t>(k)];
            if (k < f.shape.minLag)
                continue;
            anyPeriodic = anyPeriodic || periodic(k, cumulative);
            if (static_cast<double>(sums[static_cast<std::size_t>(k)]) < bound)
                order.push_back(k);
        }
        if (!anyPeriodic)
            return kDetectDone;
        std::sort(order.begin(), order.end(), [&](long a, long b) {
            const auto sa = sums[static_cast<std::size_t>(a)];
            const auto sb = sums[static_cast<std::size_t>(b)];
            return sa != sb ? sa < sb : a < b;
        });
        best = DBL_MAX;
        bestLag = 0;
        for (long k : order) {
            const double s = static_cast<double>(sums[static_cast<std::size_t>(k)]);
            if (s > best)
                break;
            const double score = scorer.Score(k, s, MeasureEnvelope(x, k, half));
            if (score < best || (score == best && k < bestLag)) {
                best = score;
                bestLag = k;
            }
        }
        improvements = bestLag > 0 ? 1 : 0;
    }
    if (bestLag == 0)
        return kDetectDone;

    // A frame whose best lag repeats it no better than the shorter lags do on average has
    // no period: noise of any colour, which would otherwise pass as a note. The shorter
    // lags' sums only grow the total, so counting stops once it is large enough.
    const double needed =
        static_cast<double>(LagSum(x, bestLag, half)) * static_cast<double>(bestLag) / kAperiodic;
    double cumulative = 0.0;
    for (long k = 1; k <= bestLag && cumulative < needed; ++k)
        cumulative += static_cast<double>(sums.empty() ? LagSum(x, k, half)
                                                       : sums[static_cast<std::size_t>(k)]);
    // Such a frame moves on as far as a voiced one would have, so that the frames after
    // it fall where they always did.
    out.length = static_cast<std::uint32_t>(half + bestLag);
    if (cumulative < needed)
        return kDetectDone;
    out.frequency = sampleRate / static_cast<double>(bestLag);
    out.confidence = best;
    out.candidateCount = improvements;
    return kDetectDone;
}
