#include "model/ViewOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// One value followed by `end` (',' or the end of the text).
bool ReadLong(const char*& p, char end, long& value) {
    char* stop = nullptr;
    errno = 0;
    value = std::strtol(p, &stop, 10);
    if (stop == p || errno != 0 || *stop != end)
        return false;
    p = stop + (end ? 1 : 0);
    return true;
}

bool ReadReal(const char*& p, char end, double& value) {
    char* stop = nullptr;
    errno = 0;
    value = std::strtod(p, &stop);
    if (stop == p || errno != 0 || *stop != end)
        return false;
    p = stop + (end ? 1 : 0);
    return true;
}

// Records come from files: each value is held to what the settings dialogs can set,
// and a real that is no number takes its default.
template <class T> T Within(long value, long low, long high) {
    return static_cast<T>(std::clamp(value, low, high));
}

double Within(double value, double low, double high, double fallback) {
    return std::isfinite(value) ? std::clamp(value, low, high) : fallback;
}

} // namespace

AString FormatViewOptions(const ViewOptions& o) {
    AString text(kOptionsPrefix);
    auto add = [&](const AString& value, bool last = false) {
        text += value;
        if (!last)
            text += ',';
    };
    add(AString::FromInt(o.displayTempo.value));
    add(AString::FromInt(o.showLyrics.value));
    add(AString::FromInt(o.showComments.value));
    add(AString::FromInt(o.showTrackName.value));
    add(AString::FromInt(o.colorMode.value));
    add(AString::FromInt(o.clefType.value));
    add(AString::FromInt(o.splitPitch.value));
    add(AString::FromDouble(o.timeGroupMerge.value, 6));
    add(AString::FromDouble(o.beamNoteTolerance.value, 6));
    add(AString::FromDouble(o.printoutScale.value, 6));
    add(AString::FromInt(o.quarterNoteDisplayLength.value));
    add(AString::FromInt(o.printPianoType.value), true);
    return text;
}

ViewOptions ParseViewOptions(const AString& text) {
    const std::string prefix = kOptionsPrefix;
    if (text.str().compare(0, prefix.size(), prefix) != 0)
        return ViewOptions();
    const char* p = text.c_str() + prefix.size();
    long i[9];
    double d[3];
    // Order: four flags, colour, clef, split, three reals, two integers.
    bool ok = ReadLong(p, ',', i[0]) && ReadLong(p, ',', i[1]) && ReadLong(p, ',', i[2]) &&
              ReadLong(p, ',', i[3]) && ReadLong(p, ',', i[4]) && ReadLong(p, ',', i[5]) &&
              ReadLong(p, ',', i[6]) && ReadReal(p, ',', d[0]) && ReadReal(p, ',', d[1]) &&
              ReadReal(p, ',', d[2]) && ReadLong(p, ',', i[7]) && ReadLong(p, '\0', i[8]);
    if (!ok)
        return ViewOptions();
    ViewOptions o;
    const ViewOptions defaults;
    o.displayTempo = Within<std::int8_t>(i[0], 0, 1);
    o.showLyrics = Within<std::int8_t>(i[1], 0, 1);
    o.showComments = Within<std::int8_t>(i[2], 0, 1);
    o.showTrackName = Within<std::int8_t>(i[3], 0, 1);
    o.colorMode = Within<std::int32_t>(i[4], kColorByVolume, kColorByTrack);
    o.clefType = Within<std::int32_t>(i[5], kClefGrand, kClefOctaveTreble);
    o.splitPitch = Within<std::int32_t>(i[6], kLowestSplit, kHighestSplit);
    o.timeGroupMerge = Within(d[0], 0.0, kMostFraction, defaults.timeGroupMerge);
    o.beamNoteTolerance = Within(d[1], 0.0, kMostFraction, defaults.beamNoteTolerance);
    o.printoutScale = Within(d[2], kSmallestScale, kLargestScale, defaults.printoutScale);
    o.quarterNoteDisplayLength = Within<std::int32_t>(i[7], kShortestQuarter, kLongestQuarter);
    o.printPianoType = Within<std::int32_t>(i[8], 0, kLastPianoType);
    return o;
}
