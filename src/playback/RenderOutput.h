#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <semaphore>
#include <thread>

#include "playback/PlayOutput.h"
#include "playback/SoundFilePtr.h"
#include "util/AtomicFile.h"

class SynthRenderer;

// Renders the stream through the built-in synthesizer into a WAV file (44.1 kHz,
// stereo, 16 bit), as fast as the machine allows, driving the sequencer by the frame
// count. It waits for blocks instead of running dry. The file is written beside its
// final name and moved there when the play ends.
class RenderOutput : public PlayOutput {
public:
    RenderOutput(std::unique_ptr<SynthRenderer> renderer, std::filesystem::path file);
    ~RenderOutput() override;

    bool Start(PlayContext& context, AString& error) override;
    void Wake() override { wake_.release(); }
    void Stop() override;

    // After Stop: empty when the file was written, else why not.
    AString Error() const;
    // Frames written.
    std::int64_t Frames() const { return frames_.load(); }

private:
    void Run();
    void Fail(const AString& why);

    std::unique_ptr<SynthRenderer> renderer_;
    std::filesystem::path file_;
    AtomicFile target_{file_};
    SoundFilePtr output_; // the sound file on the target's temporary file, while open
    PlayContext* context_ = nullptr;
    std::thread thread_;
    std::counting_semaphore<1 << 20> wake_{0};
    std::atomic<bool> quit_{false};
    std::atomic<std::int64_t> frames_{0};
    mutable std::mutex errorMutex_;
    AString error_;
    bool finished_ = false;
};
