#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "util/AString.h"

class PostTarget;

// The player: takes blocks of timed message groups and plays them on its own timing,
// posting to the targets it is given when it wants more data (400), where playback is
// (401), that it stopped (402) and that something went wrong (403).
//
// Everything here is called from one thread (the one that owns the songs); the player
// only talks back through the posts.
class MidiPlayer {
public:
    static constexpr int kBuiltInSynthesizer = -1;

    virtual ~MidiPlayer() = default;

    // Prepares the output once at start-up, so that the first play starts at once.
    virtual void WarmUpMidiDriver() = 0;
    // Least time in milliseconds between two position posts.
    virtual void SetDrawResolution(std::int32_t milliseconds) = 0;
    virtual void SetAddCallbackMsg(PostTarget* target, unsigned message) = 0;
    virtual void SetStopMusicCallbackMsg(PostTarget* target, unsigned message) = 0;
    virtual void SetErrorCallbackMsg(PostTarget* target, unsigned message) = 0;
    virtual void SetDrawCallbackMsg(PostTarget* target, unsigned message) = 0;

    // Set: the device's channels carry their own instruments, so no bank select or
    // program change is sent. Clear: each note's instrument is sent on its channel
    // whenever it differs from the one last sent there during this play.
    virtual void SetDoesChannelSpecificInstrument(std::uint8_t flag) = 0;
    // A note is sent no sooner than this after the instrument change it needed. The
    // change goes out up to this much ahead of its note, but never ahead of what was
    // already sent before the note's group; where that leaves too little time, the
    // music waits for the rest.
    virtual void SetProgramChangeEffectTime(unsigned milliseconds) = 0;

    // Opens a group `deltaTicks` after the previous one; the Add calls that follow
    // belong to it. Timing follows the deltas; `absoluteTick` and `first` are kept for
    // the caller's bookkeeping.
    virtual void AddMessageGroup(std::int32_t deltaTicks, std::int32_t absoluteTick,
                                 std::uint8_t first) = 0;
    virtual void AddTempoChange(std::int32_t microsPerQuarter) = 0;
    // The player sends the instrument change and, `duration` ticks later, the note off.
    virtual void AddNote(std::uint8_t channel, std::uint8_t key, std::int32_t duration,
                         std::uint8_t velocity, int bank, std::uint8_t program,
                         std::uint8_t releaseVelocity) = 0;
    // sevenBit 0: `value` is coarse * 128 + fine, sent to the controller and its partner.
    virtual void AddControlChange(std::uint8_t channel, unsigned controller, unsigned value,
                                  std::uint8_t sevenBit) = 0;
    virtual void AddPitchBend(std::uint8_t channel, unsigned value) = 0;
    // Plays a registered wave file at the group's time.
    virtual void AddPlaySound(const AString& file) = 0;
    virtual void AddBenignMessage() = 0;
    // Closes the block; false when the player could not take it (see StatusText).
    virtual bool AddDoneWithBlock() = 0;
    // No more blocks will follow: playback ends after the last group and note.
    virtual void DoneWithMessageAdd() = 0;
    virtual int NumMessagesInCurrentBuffer() = 0;

    // False when playback could not start (see StatusText).
    virtual bool StartMusic() = 0;
    // Asks for a stop; the stopped message follows.
    virtual void SetToStopMusic() = 0;
    // Releases the output after the stopped message.
    virtual void StopMusic() = 0;
    // True from a successful start until StopMusic.
    virtual bool MMSystemInUse() = 0;
    virtual std::int32_t GetTickTime() = 0;
    virtual int NumDrawPostMessagesSentOut() = 0;

    // Sends one message at once on the output in use, beside whatever plays: the note
    // an edit changed, a note played on a keyboard. False when the output cannot (the
    // default).
    virtual bool SendLiveMidi(const std::uint8_t* /*bytes*/, int /*size*/) { return false; }

    // Thru while recording: what MIDI inputs receive goes at once to the output in use.
    // OpenThru (from the thread that owns the songs, before any input starts) prepares
    // `lanes` lanes, one per input; false when the output cannot take thru (the default).
    // SendThru may then be called from the input threads, each lane from one thread
    // only; it never waits for the player or the audio thread, and drops the message
    // when the lane is full. CloseThru (owning thread, once every input has stopped)
    // ends it.
    virtual bool OpenThru(int /*lanes*/) { return false; }
    virtual bool SendThru(int /*lane*/, const std::uint8_t* /*bytes*/, int /*size*/) {
        return false;
    }
    virtual void CloseThru() {}

    // Registers the wave file `file` (as written in the cue) found relative to
    // `baseDirectory`; false when it cannot be read (see ErrorText).
    virtual bool AddAudioWAVFile(const AString& file, const AString& baseDirectory) = 0;
    virtual void DeleteAudioWAVFile(const AString& file) = 0;
    virtual void DeleteAudioWAVFiles() = 0;
    // The folder where the cues of the next play are found (the song's; empty for a
    // song without a file).
    virtual void SetCueFolder(const AString& folder) = 0;

    // -1 is the built-in synthesizer, 0 and up the MIDI output ports.
    int OutputDevice() const { return outputDevice_; }
    void SetOutputDevice(int device) { outputDevice_ = device; }
    std::int32_t TicksPerQuarter() const { return ticksPerQuarter_; }
    // Setting it while idle begins a new stream: what was added and not played is dropped.
    virtual void SetTicksPerQuarter(std::int32_t ticks) { ticksPerQuarter_ = ticks; }
    AString StatusText() const;
    AString ErrorText() const;
    // The error texts reported for posting (403) since the last call, one paragraph
    // each; they count as shown afterwards.
    AString TakeErrorText();

protected:
    void SetStatusText(const AString& text);
    void SetErrorText(const AString& text);
    // Adds `text` to the ones not yet taken. True when none was waiting: then one 403
    // is to be posted for all of them.
    bool AddErrorText(const AString& text);

private:
    std::atomic<int> outputDevice_{kBuiltInSynthesizer};
    std::int32_t ticksPerQuarter_ = 384;
    mutable std::mutex textMutex_;
    AString statusText_;
    AString errorText_;
    AString untakenErrors_;
};
