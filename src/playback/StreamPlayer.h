#pragma once

#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include "playback/EventQueue.h"
#include "playback/MidiPlayer.h"
#include "playback/PlayOutput.h"
#include "playback/Sequencer.h"
#include "playback/SoundBuffer.h"
#include "playback/StreamBuilder.h"

// The player behind the MidiPlayer contract, short of a real output: the feeding thread
// builds the stream into a lock-free queue, an output consumes it, and a notifier thread
// does the posting (so that the real-time side never has to).
class StreamPlayer : public MidiPlayer, private PlayContext {
public:
    StreamPlayer();
    ~StreamPlayer() override;

    void WarmUpMidiDriver() override {}
    void SetDrawResolution(std::int32_t milliseconds) override;
    void SetAddCallbackMsg(PostTarget* target, unsigned message) override;
    void SetStopMusicCallbackMsg(PostTarget* target, unsigned message) override;
    void SetErrorCallbackMsg(PostTarget* target, unsigned message) override;
    void SetDrawCallbackMsg(PostTarget* target, unsigned message) override;
    void SetDoesChannelSpecificInstrument(std::uint8_t flag) override;
    void SetProgramChangeEffectTime(unsigned milliseconds) override;

    void AddMessageGroup(std::int32_t deltaTicks, std::int32_t absoluteTick,
                         std::uint8_t first) override;
    void AddTempoChange(std::int32_t microsPerQuarter) override;
    void AddNote(std::uint8_t channel, std::uint8_t key, std::int32_t duration,
                 std::uint8_t velocity, int bank, std::uint8_t program,
                 std::uint8_t releaseVelocity) override;
    void AddControlChange(std::uint8_t channel, unsigned controller, unsigned value,
                          std::uint8_t sevenBit) override;
    void AddPitchBend(std::uint8_t channel, unsigned value) override;
    void AddPlaySound(const AString& file) override;
    void AddBenignMessage() override {}
    bool AddDoneWithBlock() override;
    void DoneWithMessageAdd() override;
    int NumMessagesInCurrentBuffer() override;

    bool StartMusic() override;
    void SetToStopMusic() override;
    void StopMusic() override;
    bool MMSystemInUse() override { return busy_; }
    std::int32_t GetTickTime() override { return seq_.Position(); }
    int NumDrawPostMessagesSentOut() override { return drawPosts_.load(); }

    bool AddAudioWAVFile(const AString& file, const AString& baseDirectory) override;
    void DeleteAudioWAVFile(const AString& file) override;
    void DeleteAudioWAVFiles() override;
    void SetCueFolder(const AString& folder) override { cueFolder_ = folder.str(); }

    void SetTicksPerQuarter(std::int32_t ticks) override;

protected:
    // The output for the current settings; null with `error` set when there is none.
    virtual std::unique_ptr<PlayOutput> CreateOutput(AString& error) = 0;
    // Decodes a wave file for mixing; null with `error` set (the reason only).
    virtual std::shared_ptr<const SoundBuffer> LoadSound(const std::filesystem::path& file,
                                                         AString& error);
    // The play's output has just stopped and is about to go.
    virtual void OutputStopped(PlayOutput& /*output*/) {}
    using Sounds = std::vector<std::shared_ptr<const SoundBuffer>>;
    // The stream that used `sounds` is gone and its output stopped. Outputs that outlive
    // a play end the sounds still playing and keep them until their audio thread has let
    // go; here they are simply dropped.
    virtual void RetireSounds(Sounds /*sounds*/) {}
    // Frees what outputs that outlive a play have let go of.
    virtual void CollectSounds() {}
    // Stops the current play at once, without a stopped message. Subclasses whose
    // outputs use their members call it in their destructor.
    void Halt();

private:
    struct Target {
        PostTarget* target = nullptr;
        unsigned message = 0;
    };

    // PlayContext
    Sequencer& Seq() override { return seq_; }
    bool StopRequested() const override { return stopRequested_.load(); }
    bool MoreDataComing() const override { return moreDataComing_.load(); }
    std::int32_t DrawResolutionMs() const override { return drawResolution_.load(); }
    void Notify() override { notify_.release(); }
    void Flag(PlayProblem problem) override;

    void SetTarget(Target& which, PostTarget* target, unsigned message);
    void PostTo(const Target& which, std::int64_t value);
    void DiscardStream();
    bool DataLow() const;
    void RunNotifier();
    void StopNotifier();
    // A registered cue: its sound, or why it has none.
    struct Cue {
        std::shared_ptr<const SoundBuffer> sound;
        AString problem;       // why it cannot play, or the note that it plays from elsewhere
        bool reported = false; // the problem was told
    };
    Cue& Register(const AString& file, const std::string& folder);
    void ReportCue(const AString& file, Cue& cue);
    void ReportError(const AString& text);
    const SoundBuffer* SoundFor(const AString& file);

    EventQueue queue_{1 << 16};
    StreamBuilder builder_;
    Sequencer seq_{queue_};
    std::unique_ptr<PlayOutput> output_;
    bool busy_ = false;

    std::mutex targetsMutex_;
    Target add_, stop_, error_, draw_;

    std::atomic<std::int32_t> drawResolution_{20};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> moreDataComing_{true};
    std::atomic<bool> dataRequested_{false};
    std::atomic<std::size_t> fillLevel_{0};
    std::atomic<std::int64_t> lastQueuedDue_{0};
    std::atomic<int> drawPosts_{0};
    std::atomic<bool> stoppedPosted_{false};
    std::atomic<int> problems_{0};

    std::thread notifier_;
    std::atomic<bool> quitNotifier_{false};
    std::counting_semaphore<1 << 20> notify_{0};

    std::map<std::pair<std::string, std::string>, Cue> cues_; // by folder and name
    std::string cueFolder_;                                   // the one of the next play
    Sounds playSounds_; // those the stream uses, kept alive while it lives
};
