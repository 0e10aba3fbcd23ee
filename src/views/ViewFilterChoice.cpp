#include "views/ViewFilterChoice.h"

#include <algorithm>

namespace {

constexpr std::size_t kClearedTracks = 100;

template <class Flags> bool Any(const Flags& flags) {
    return std::find(flags.begin(), flags.end(), true) != flags.end();
}

} // namespace

ViewFilterChoice ViewFilterChoice::From(const ViewFilter& filter, std::size_t trackCount) {
    ViewFilterChoice c;
    c.allTracks = filter.AllTracks();
    c.tracks.resize(trackCount);
    for (std::size_t t = 0; t < trackCount; ++t)
        c.tracks[t] = filter.TrackSelected(t);
    c.allChannels = filter.AllChannels();
    for (std::size_t ch = 0; ch < 16; ++ch)
        c.channels[ch] = filter.ChannelSelected(ch);
    c.allInstruments = filter.AllInstruments();
    for (std::size_t p = 0; p < 128; ++p)
        c.instruments[p] = filter.InstrumentSelected(p);
    return c;
}

Refusal ViewFilterChoice::ApplyTo(ViewFilter& filter) const {
    if (!allTracks && !Any(tracks))
        return Refusal("Please select at least 1 track.", MessageIcon::Stop);
    if (!tracksOnly && !allChannels && !Any(channels))
        return Refusal("Please select at least 1 channel.", MessageIcon::Stop);
    if (!tracksOnly && !allInstruments && !Any(instruments))
        return Refusal("Please select at least 1 instrument.", MessageIcon::Stop);
    filter.SetAllTracks(allTracks);
    filter.ClearTracks(0, std::max(tracks.size(), kClearedTracks));
    for (std::size_t t = 0; t < tracks.size(); ++t)
        filter.SelectTrack(t, tracks[t]);
    if (!tracksOnly) {
        filter.SetAllChannels(allChannels);
        for (std::size_t ch = 0; ch < 16; ++ch)
            filter.SelectChannel(ch, channels[ch]);
        filter.SetAllInstruments(allInstruments);
        for (std::size_t p = 0; p < 128; ++p)
            filter.SelectInstrument(p, instruments[p]);
    }
    filter.BuildDescription();
    return {};
}
