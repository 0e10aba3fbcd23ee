#include "ReferenceDetectFrequency.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace {

struct Anchor {
    long at[2] = {0, 0}; // for samples above zero, and for the rest
    double slope[2] = {0, 0};
    int Apply(int x, long i) const {
        const int s = x > 0 ? 0 : 1;
        const double y = x * (1.0 + static_cast<double>(std::labs(i - at[s])) * slope[s]);
        return static_cast<std::int16_t>(std::clamp(y, -32768.0, 32767.0));
    }
};

} // namespace

int ReferenceDetectFrequency(const std::int16_t* x, long availableSamples, double sampleRate,
                             std::uint32_t* length, bool onlyOne, bool stopAtFirst,
                             double tolerance, double* frequencies, double* confidences,
                             std::int32_t* count, double* threshold, long minVolume,
                             double lowFrequency, double highFrequency, double peakFraction,
                             double peakWeight, bool refineLag, bool envelopeCorrection) {
    *count = 0;
    *frequencies = 0.0;
    const long minLag = std::max(2L, static_cast<long>(sampleRate / highFrequency));
    const long maxLag = static_cast<long>(sampleRate / lowFrequency);
    const long L = static_cast<long>(sampleRate / lowFrequency * 2.0);
    const long H = L / 2;
    if (H < 1 || L > availableSamples || minLag > availableSamples) {
        *length = 0;
        return 1;
    }
    int frameMax = -32768, frameMin = 32767;
    for (long i = 0; i < minLag; ++i) {
        frameMax = std::max(frameMax, int{x[i]});
        frameMin = std::min(frameMin, int{x[i]});
    }
    if (frameMax - frameMin < minVolume) {
        *length = static_cast<std::uint32_t>(minLag);
        return 2;
    }
    long long A = 0, D = 0;
    for (long i = 0; i < H; ++i) {
        frameMax = std::max(frameMax, int{x[i]});
        frameMin = std::min(frameMin, int{x[i]});
        A += std::abs(x[i]);
        D += std::abs(x[i] - x[i + 1]);
    }
    if (A / H < minVolume / 4) {
        *length = static_cast<std::uint32_t>(H / 2);
        return 2;
    }
    *threshold = static_cast<double>(D);
    *length = static_cast<std::uint32_t>(L);
    double best = DBL_MAX;
    for (long k = minLag; k <= maxLag; ++k) {
        long long S = 0;
        for (long i = 0; i < H; ++i)
            S += std::abs(x[i] - x[i + k]);
        if (!(static_cast<double>(S) < static_cast<double>(D) * tolerance))
            continue;

        int aHigh = 1, aLow = -1, bHigh = 1, bLow = -1;
        for (long i = 0; i < k; ++i) {
            if (x[i] > aHigh)
                aHigh = x[i];
            else if (x[i] < aLow)
                aLow = x[i];
            if (x[H + i] > bHigh)
                bHigh = x[H + i];
            else if (x[H + i] < bLow)
                bLow = x[H + i];
        }
        const double span = static_cast<double>(H + k);
        Anchor e;
        e.at[0] = aHigh < bHigh ? H + k : 0;
        e.slope[0] = (aHigh < bHigh ? static_cast<double>(bHigh) / aHigh
                                    : static_cast<double>(aHigh) / bHigh) /
                     span;
        e.at[1] = -bLow > -aLow ? H + k : 0;
        e.slope[1] =
            (-bLow > -aLow ? static_cast<double>(bLow) / aLow : static_cast<double>(aLow) / bLow) /
            span;

        int peaks = 0, state = 0; // 1 high, 2 low
        for (long i = 0; i < H; ++i) {
            const int y = e.Apply(x[i], i);
            if (y > 0 && y > frameMax * peakFraction && state != 1) {
                state = 1;
                ++peaks;
            }
            if (y <= 0 && -y > -frameMin * peakFraction && state != 2) {
                state = 2;
                ++peaks;
            }
        }
        const double periods = static_cast<double>(H) / static_cast<double>(k);
        const double crossings = peaks / periods;
        const double expected = (2.0 * periods + 1.0) / periods;
        double s = static_cast<double>(S);
        if (envelopeCorrection) {
            long long corrected = 0;
            for (long i = 0; i < H; ++i)
                corrected += std::abs(e.Apply(x[i], i) - e.Apply(x[i + k], i + k));
            s = static_cast<double>(corrected);
        }
        const double period = refineLag ? k + s / static_cast<double>(D) : static_cast<double>(k);
        const double score = crossings < expected
                                 ? s * (1.0 + 2.0 * peakWeight * (expected - crossings))
                                 : s * (1.0 + peakWeight * std::fabs(expected - crossings));
        if (onlyOne && !(score < best))
            continue;
        best = score;
        *frequencies = sampleRate / period;
        *confidences = score;
        *length = static_cast<std::uint32_t>(static_cast<double>(H) + period);
        ++*count;
        if (stopAtFirst)
            break;
        if (!onlyOne) {
            ++frequencies;
            ++confidences;
        }
    }
    return 0;
}
