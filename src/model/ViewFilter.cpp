#include "model/ViewFilter.h"

#include <algorithm>

#include "model/Instruments.h"

bool ViewFilter::Matches(const MidiMsg& msg) const {
    if (kind_ != kAllKinds &&
        (kind_ != msg.kind || (subKey_ != kAnySubKey && subKey_ != msg.subKey)))
        return false;
    if (msg.channel != kNoChannel && !allChannels_ && !ChannelSelected(msg.channel))
        return false;
    if (!allTracks_ && !TrackSelected(msg.track))
        return false;
    if (msg.instrument != kNoProgram && !allInstruments_ && !InstrumentSelected(msg.instrument))
        return false;
    return true;
}

void ViewFilter::PushKind(std::int32_t kind, std::int32_t subKey) {
    savedKind_ = kind_;
    savedSubKey_ = subKey_;
    kind_ = kind;
    subKey_ = subKey;
}

void ViewFilter::PopKind() {
    kind_ = savedKind_;
    subKey_ = savedSubKey_;
}

void ViewFilter::SelectTrack(std::size_t track, bool on) {
    if (track < kMaxTracks)
        trackFlags_[track] = on;
}

void ViewFilter::SelectChannel(std::size_t channel, bool on) {
    if (channel < 16)
        channelFlags_[channel] = on;
}

void ViewFilter::SelectInstrument(std::size_t program, bool on) {
    if (program < 128)
        instrumentFlags_[program] = on;
}

void ViewFilter::ShowOnlyTrack(std::size_t track) {
    allTracks_ = 0;
    trackFlags_.fill(0);
    SelectTrack(track);
    BuildDescription();
}

ViewFilter::TrackRemoval ViewFilter::RemoveTrack(std::size_t track) {
    TrackRemoval removal;
    removal.track = track;
    if (track >= kMaxTracks)
        return removal;
    removal.shown = trackFlags_[track] != 0;
    std::copy(trackFlags_.begin() + static_cast<std::ptrdiff_t>(track) + 1, trackFlags_.end(),
              trackFlags_.begin() + static_cast<std::ptrdiff_t>(track));
    trackFlags_.back() = 0;
    if (!allTracks_ && std::none_of(trackFlags_.begin(), trackFlags_.end(),
                                    [](std::uint8_t f) { return f != 0; })) {
        trackFlags_[0] = 1;
        removal.fellBack = true;
    }
    BuildDescription();
    return removal;
}

void ViewFilter::RestoreTrack(const TrackRemoval& removal) {
    if (removal.track >= kMaxTracks)
        return;
    if (removal.fellBack)
        trackFlags_[0] = 0;
    std::copy_backward(trackFlags_.begin() + static_cast<std::ptrdiff_t>(removal.track),
                       trackFlags_.end() - 1, trackFlags_.end());
    trackFlags_[removal.track] = removal.shown ? 1 : 0;
    BuildDescription();
}

void ViewFilter::ClearTracks(std::size_t first, std::size_t end) {
    for (std::size_t t = first; t < std::min(end, kMaxTracks); ++t)
        trackFlags_[t] = 0;
}

AString ViewFilter::TrackList(const char* prefix) const {
    AString list;
    for (std::size_t t = 0; t < kMaxTracks; ++t) {
        if (!trackFlags_[t])
            continue;
        if (!list.IsEmpty())
            list += ',';
        list += prefix;
        list += AString::FromInt(static_cast<long>(t) + 1);
    }
    return list;
}

void ViewFilter::BuildDescription() {
    AString parts[6];
    std::size_t n = 0;
    if (!allTracks_)
        parts[n++] = TrackList("Tr ");
    if (!allChannels_) {
        AString list;
        for (std::size_t c = 0; c < 16; ++c) {
            if (!channelFlags_[c])
                continue;
            if (!list.IsEmpty())
                list += ',';
            list += "Ch ";
            list += AString::FromInt(static_cast<long>(c) + 1);
        }
        parts[n++] = list;
    }
    if (!allInstruments_) {
        AString list;
        for (std::size_t p = 0; p < 128; ++p) {
            if (!instrumentFlags_[p])
                continue;
            if (!list.IsEmpty())
                list += ',';
            list += InstrumentName(static_cast<int>(p));
        }
        parts[n++] = list;
    }
    if (allTracks_)
        parts[n++] = "All Tracks";
    if (allChannels_)
        parts[n++] = "All Ch'ls";
    if (allInstruments_)
        parts[n++] = "All Instr'ts";
    description_ = AString();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0)
            description_ += "; ";
        description_ += parts[i];
    }
}

AString ViewFilter::CaptionText() const {
    if (allTracks_)
        return AString("All Tracks Shown");
    return TrackList("Track ");
}
