#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "model/AudioFileRegistry.h"
#include "model/MidiMsg.h"
#include "util/AString.h"

class MidiPlayer;
class Song;
class SongIter;
class ViewFilter;

// The application's one playback object: owns the player, feeds it a song (or what a
// view filter shows of it) block by block as it asks, and handles its stopped and error
// notifications. Everything runs on the thread that owns the songs.
class VorlauneGuts : public AudioFileRegistry {
public:
    explicit VorlauneGuts(std::unique_ptr<MidiPlayer> player);
    ~VorlauneGuts() override;
    VorlauneGuts(const VorlauneGuts&) = delete;
    VorlauneGuts& operator=(const VorlauneGuts&) = delete;

    MidiPlayer& Player() const { return *player_; }
    void WarmUp();

    // Plays ticks `start` to `end` (kEndTick: to the end) of `song`, through a copy of
    // `filter` when one is given. While playing, the request waits for the stop.
    void Play(Song* song, std::int32_t start, std::int32_t end, const ViewFilter* filter);
    void PlayAll(Song* song, const ViewFilter* filter) { Play(song, 0, kEndTick, filter); }
    void StopRequest();

    // The player's messages 400, 402 and 403 as the main window receives them.
    void HandlePlayerMessage(std::uint32_t message);
    void OnMoreData();
    void OnStopped();
    void OnError();

    // `song` is about to be deleted.
    void SongClosing(Song* song);
    // Told when playback has stopped; forgotten when the playing song closes.
    void SetStopCallback(std::function<void()> callback) { stopCallback_ = std::move(callback); }

    // Sounds a note at once on the output in use (its instrument first, unless a song
    // plays), for the caller to end with SoundNoteOff. False when the output cannot.
    bool SoundNoteOn(const MidiMsgNote& note);
    void SoundNoteOff(const MidiMsgNote& note);

    void AddAudioWAVFile(const AString& file, const AString& baseDirectory) override;
    void DeleteAudioWAVFile(const AString& file);
    void DeleteAudioWAVFiles();
    // The folder of the song's file, empty for a song without one.
    static AString SongDirectory(const Song& song);

    Song* PlayingSong() const { return song_; }
    bool RestartPending() const { return restartPending_; }
    std::int32_t MessagesPerRefill() const { return messagesPerRefill_; }

private:
    bool Refill();
    void EndUnstarted();
    void BuildGroup(std::int32_t delta, bool& first, std::int32_t tempoToSend);
    void SendTempoGroup(std::int32_t delta, std::int32_t tick, bool& first, std::int32_t tempo);
    void FetchNextTempo();

    Song* song_ = nullptr;
    std::unique_ptr<ViewFilter> filter_;
    std::int32_t startTick_ = 0;
    std::int32_t endTick_ = kEndTick;
    std::int32_t currentTempo_ = 0;
    std::int32_t nextTempoTick_ = kEndTick;
    std::int32_t nextTempo_ = 0;
    std::unique_ptr<SongIter> cursor_;
    std::unique_ptr<MidiPlayer> player_;
    std::int32_t pendingDelta_ = 0;
    std::uint8_t pendingFirst_ = 0;
    std::int32_t messagesPerRefill_ = 200;
    std::int32_t programChangeTime_ = 0;
    bool restartPending_ = false;
    Song* pendingSong_ = nullptr;
    std::int32_t pendingStart_ = 0;
    std::int32_t pendingEnd_ = kEndTick;
    std::unique_ptr<ViewFilter> pendingFilter_;
    std::function<void()> stopCallback_;
    bool shuttingDown_ = false;
    std::size_t nextTempoIndex_ = 0;
    std::uint64_t groupsOpened_ = 0;
    std::int32_t lastNoteEnd_ = 0; // where the longest note sent so far ends
};
