#include "model/ViewOptions.h"

#include <cerrno>
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
    o.displayTempo = static_cast<std::int8_t>(i[0]);
    o.showLyrics = static_cast<std::int8_t>(i[1]);
    o.showComments = static_cast<std::int8_t>(i[2]);
    o.showTrackName = static_cast<std::int8_t>(i[3]);
    o.colorMode = static_cast<std::int32_t>(i[4]);
    o.clefType = static_cast<std::int32_t>(i[5]);
    o.splitPitch = static_cast<std::int32_t>(i[6]);
    o.timeGroupMerge = d[0];
    o.beamNoteTolerance = d[1];
    o.printoutScale = d[2];
    o.quarterNoteDisplayLength = static_cast<std::int32_t>(i[7]);
    o.printPianoType = static_cast<std::int32_t>(i[8]);
    return o;
}
