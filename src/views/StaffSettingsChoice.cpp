#include "views/StaffSettingsChoice.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int32_t kTopSplit = 42; // C6, the first entry of the list

template <class T, class V> void Store(OptionValue<T>& option, V value) {
    if (option.value != static_cast<T>(value)) {
        option.value = static_cast<T>(value);
        option.changed = 1;
    }
}

// Fractions count as changed only beyond a millionth, as typed percentages round.
void StoreFraction(OptionValue<double>& option, double value) {
    if (std::fabs(option.value - value) > 0.000001) {
        option.value = value;
        option.changed = 1;
    }
}

} // namespace

StaffSettingsChoice StaffSettingsChoice::From(const ViewOptions& options) {
    StaffSettingsChoice c;
    c.clef = std::clamp<int>(options.clefType, 0, 5);
    c.split = std::clamp<int>(kTopSplit - options.splitPitch, 0, 14);
    c.mergePercent = static_cast<int>(std::lround(options.timeGroupMerge * 100));
    c.beamPercent = static_cast<int>(std::lround(options.beamNoteTolerance * 100));
    c.scalePosition =
        std::clamp(static_cast<int>(std::lround((options.printoutScale - 0.8) / 0.02)), 0, 50);
    c.displayTempo = options.displayTempo != 0;
    c.lyrics = options.showLyrics != 0;
    c.comments = options.showComments != 0;
    c.trackName = options.showTrackName != 0;
    return c;
}

void StaffSettingsChoice::ApplyTo(ViewOptions& options) const {
    Store(options.clefType, std::clamp(clef, 0, 5));
    Store(options.splitPitch, kTopSplit - std::clamp(split, 0, 14));
    StoreFraction(options.timeGroupMerge, std::clamp(mergePercent, 0, 25) * 0.01);
    StoreFraction(options.beamNoteTolerance, std::clamp(beamPercent, 0, 25) * 0.01);
    StoreFraction(options.printoutScale, std::clamp(scalePosition, 0, 50) * 0.02 + 0.8);
    Store(options.displayTempo, displayTempo ? 1 : 0);
    Store(options.showLyrics, lyrics ? 1 : 0);
    Store(options.showComments, comments ? 1 : 0);
    Store(options.showTrackName, trackName ? 1 : 0);
    options.applyToAllTracks = applyToAllTracks ? 1 : 0;
}
