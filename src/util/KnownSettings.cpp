#include "util/KnownSettings.h"

namespace {

// Switches are 0 or 1; pitches span the lists of the converter's dialog (12 to 108);
// times are microseconds up to a minute; the staff and render limits keep a person's
// idea of a song's size. A method number names a method, so an unknown one falls back
// on the default rather than on its nearest neighbour.
constexpr SettingRange kRanges[] = {
    {"NumPlayEachTime", 10, 400, true, true},
    {"DrawResolution", 1, 1000, true},
    {"AdvancedMode", 0, 1, true},
    {"HesitatePlay", 0, 1, true},
    {"PlayOnlyCurrentView", 0, 1, true},
    {"AutoRewind", 0, 1, true},
    {"MovePitchToKey", 0, 1, true},
    {"ShowNotePlacement", 0, 1, true},
    {"ShowLyrics", 0, 1, true},
    {"PlayDuringRecord", 0, 1, true},
    {"MIDIThroughOnRecord", 0, 1, true},
    {"AlwaysShowRecordError", 0, 1, true},
    {"WTMMaxAccuracyTolerance", 0, 100, false},
    {"WTMLowPitch", 12, 108, true},
    {"WTMHighPitch", 12, 108, true},
    {"WTMExtremesWorthMultiplier", 0, 100, false},
    {"WTMMaximaPercentOfHigh", 0, 1, false},
    {"WTMSkipBlankToAppend", 0, 60000000, true},
    {"WTMBlankMaxToAppend", 0, 60000000, true},
    {"WTMMinInNote", 0, 128, false},
    {"WTMMinOutNote", 0, 128, false},
    {"WTMMinVolumeLevel", 0, 65535, true},
    {"WTMEraseRest", 0, 2, true},
    {"WTMMethod", 0, 1, true, true},
    {"MaxPrintPages", 1, 1000000, true},
    {"MaxRenderHours", 1, 1000, true},
    {"AutosaveMinutes", 0, 60, true},
};

} // namespace

std::span<const SettingRange> KnownSettings::All() {
    return kRanges;
}

const SettingRange* KnownSettings::Find(const AString& key) {
    for (const SettingRange& range : kRanges)
        if (key == range.key)
            return &range;
    return nullptr;
}
