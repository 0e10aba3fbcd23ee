#pragma once

#include <array>
#include <cstdint>

#include "model/MidiMsg.h"
#include "util/AString.h"

// Which tracks, channels, instruments and event kinds a view shows. A value type:
// views own one each, commands keep copies.
class ViewFilter {
public:
    static constexpr std::size_t kMaxTracks = 1024;

    ViewFilter() { BuildDescription(); }

    bool Matches(const MidiMsg& msg) const;

    // Kind restriction with one level of push and pop.
    void PushKind(std::int32_t kind, std::int32_t subKey = kAnySubKey);
    void PopKind();
    void SetKind(std::int32_t kind, std::int32_t subKey = kAnySubKey) {
        kind_ = kind;
        subKey_ = subKey;
    }
    std::int32_t Kind() const { return kind_; }
    std::int32_t SubKey() const { return subKey_; }

    bool AllTracks() const { return allTracks_ != 0; }
    bool AllChannels() const { return allChannels_ != 0; }
    bool AllInstruments() const { return allInstruments_ != 0; }
    void SetAllTracks(bool on) { allTracks_ = on; }
    void SetAllChannels(bool on) { allChannels_ = on; }
    void SetAllInstruments(bool on) { allInstruments_ = on; }
    bool TrackSelected(std::size_t track) const {
        return track < kMaxTracks && trackFlags_[track] != 0;
    }
    bool ChannelSelected(std::size_t channel) const {
        return channel < 16 && channelFlags_[channel] != 0;
    }
    bool InstrumentSelected(std::size_t program) const {
        return program < 128 && instrumentFlags_[program] != 0;
    }
    void SelectTrack(std::size_t track, bool on = true);
    void SelectChannel(std::size_t channel, bool on = true);
    void SelectInstrument(std::size_t program, bool on = true);
    // Shows only this track (tracks no longer all).
    void ShowOnlyTrack(std::size_t track);
    // Does the view show this track, channel or program?
    bool ShowsTrack(std::size_t track) const { return AllTracks() || TrackSelected(track); }
    bool ShowsChannel(std::size_t channel) const {
        return AllChannels() || ChannelSelected(channel);
    }
    bool ShowsInstrument(std::size_t program) const {
        return AllInstruments() || InstrumentSelected(program);
    }

    // What RemoveTrack changed, so that undoing the deletion can put it back.
    struct TrackRemoval {
        std::size_t track = 0;
        bool shown = false;    // the filter selected the deleted track
        bool fellBack = false; // ... and nothing else, so track 1 took its place
    };
    // Track n was deleted from the song: later flags move down; a filter left showing
    // no track shows track 1.
    TrackRemoval RemoveTrack(std::size_t track);
    // The deleted track is back (undo): later flags move up again and the filter shows
    // what it showed before the deletion. A filter made since the deletion passes
    // {track} alone and does not show the returning track.
    void RestoreTrack(const TrackRemoval& removal);
    // Clears the flags of tracks from `first` up to (not including) `end`.
    void ClearTracks(std::size_t first, std::size_t end);

    // "Tr 2; Ch 10; All Instr'ts": rebuilt from the flags, kept in Description().
    void BuildDescription();
    const AString& Description() const { return description_; }
    // "Track 1,Track 3" or "All Tracks Shown", for window captions.
    AString CaptionText() const;

private:
    AString TrackList(const char* prefix) const;

    std::uint8_t allTracks_ = 1;
    std::array<std::uint8_t, kMaxTracks> trackFlags_{};
    std::uint8_t allChannels_ = 1;
    std::array<std::uint8_t, 16> channelFlags_{};
    std::uint8_t allInstruments_ = 1;
    std::array<std::uint8_t, 128> instrumentFlags_{};
    AString description_;
    std::int32_t kind_ = kAllKinds;
    std::int32_t subKey_ = kAnySubKey;
    std::int32_t savedKind_ = kAllKinds;
    std::int32_t savedSubKey_ = kAnySubKey;
};
