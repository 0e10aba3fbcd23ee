#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "playback/EventQueue.h"
#include "playback/MidiPlayer.h"
#include "playback/Sequencer.h"
#include "playback/SoundBuffer.h"
#include "playback/StreamBuilder.h"

class MidiSink;
class Song;

// The player's stream builder and sequencer on the calling thread, with a clock that
// moves only when told: a play without threads, devices or waiting, for fuzzing. It
// asks for data the way the real player's notifier does, by a wish the caller answers.
class StepPlayer : public MidiPlayer {
public:
    // Room for this many events between the builder and the sequencer.
    explicit StepPlayer(std::size_t capacity = 1 << 12);

    // Hands what is due by `now` (nanoseconds into the play) to `sink`.
    void AdvanceTo(std::int64_t now, MidiSink& sink);
    // Whether to ask for the next block now, as the real player does: once per block,
    // when half of it has played or less than `ahead` nanoseconds of it are left.
    bool WantsData(std::int64_t now, std::int64_t ahead);
    bool Ended() const { return seq_.Ended(); }
    bool StopAsked() const { return stopAsked_; }
    // Due time of the next queued event; false when none is queued.
    bool NextDue(std::int64_t& due) const { return seq_.NextDue(due); }
    // Ends the notes still sounding, as a stop does.
    void Silence(std::int64_t now, MidiSink& sink) { seq_.Silence(sink, now); }
    // The cue names the songs asked to be played, in order.
    const std::vector<std::string>& SoundsPlayed() const { return soundsPlayed_; }

    void WarmUpMidiDriver() override {}
    void SetDrawResolution(std::int32_t) override {}
    void SetAddCallbackMsg(PostTarget*, unsigned) override {}
    void SetStopMusicCallbackMsg(PostTarget*, unsigned) override {}
    void SetErrorCallbackMsg(PostTarget*, unsigned) override {}
    void SetDrawCallbackMsg(PostTarget*, unsigned) override {}
    void SetDoesChannelSpecificInstrument(std::uint8_t flag) override {
        builder_.SetChannelSpecificInstruments(flag != 0);
    }
    void SetProgramChangeEffectTime(unsigned milliseconds) override {
        builder_.SetProgramChangeDelay(milliseconds);
    }
    void AddMessageGroup(std::int32_t deltaTicks, std::int32_t absoluteTick,
                         std::uint8_t) override {
        builder_.BeginGroup(deltaTicks, absoluteTick);
    }
    void AddTempoChange(std::int32_t microsPerQuarter) override {
        builder_.Tempo(microsPerQuarter);
    }
    void AddNote(std::uint8_t channel, std::uint8_t key, std::int32_t duration,
                 std::uint8_t velocity, int bank, std::uint8_t program,
                 std::uint8_t releaseVelocity) override {
        builder_.Note(channel, key, duration, velocity, bank, program, releaseVelocity);
    }
    void AddControlChange(std::uint8_t channel, unsigned controller, unsigned value,
                          std::uint8_t sevenBit) override {
        builder_.Control(channel, controller, value, sevenBit != 0);
    }
    void AddPitchBend(std::uint8_t channel, unsigned value) override {
        builder_.PitchBend(channel, value);
    }
    void AddPlaySound(const AString& file) override;
    void AddBenignMessage() override {}
    bool AddDoneWithBlock() override;
    void DoneWithMessageAdd() override;
    int NumMessagesInCurrentBuffer() override {
        return static_cast<int>(builder_.Ready().size() + queue_.Size());
    }

    bool StartMusic() override;
    void SetToStopMusic() override { stopAsked_ = true; }
    void StopMusic() override;
    bool MMSystemInUse() override { return busy_; }
    std::int32_t GetTickTime() override { return seq_.Position(); }
    int NumDrawPostMessagesSentOut() override { return 0; }

    bool AddAudioWAVFile(const AString&, const AString&) override { return true; }
    void DeleteAudioWAVFile(const AString&) override {}
    void DeleteAudioWAVFiles() override {}
    void SetCueFolder(const AString&) override {}
    void SetTicksPerQuarter(std::int32_t ticks) override;

private:
    EventQueue queue_;
    StreamBuilder builder_;
    Sequencer seq_{queue_};
    SoundBuffer cueSound_; // every cue plays this silence
    std::vector<std::string> soundsPlayed_;
    bool busy_ = false;
    bool stopAsked_ = false;
    bool moreComing_ = true;
    bool dataAsked_ = false;
    std::size_t fillLevel_ = 0;  // queued when the last block was done
    std::int64_t queuedDue_ = 0; // due time of the last event queued
};

// Plays the first `seconds` of `song` through a StepPlayer that `VorlauneGuts` feeds as
// the application does, into `sink`. False when the play did not start. `ended` tells
// whether the music ended by itself within that time; `cues` (may be null) gets the cue
// names the song played.
bool PlayFirstSeconds(Song& song, double seconds, MidiSink& sink, bool& ended,
                      std::vector<std::string>* cues = nullptr);
