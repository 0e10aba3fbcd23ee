#pragma once

#include <atomic>
#include <chrono>
#include <semaphore>
#include <thread>

#include "playback/PlayOutput.h"

class MidiSink;

// Plays the stream on the wall clock: a timing thread sleeps until the next event is
// due and hands it to a MIDI sink (a port, or a null sink for measurements).
class PacedOutput : public PlayOutput {
public:
    explicit PacedOutput(MidiSink& sink) : sink_(sink) {}
    ~PacedOutput() override;

    bool Start(PlayContext& context, AString& error) override;
    void Wake() override { wake_.release(); }
    void Stop() override;

private:
    void Run();

    MidiSink& sink_;
    PlayContext* context_ = nullptr;
    std::thread thread_;
    std::counting_semaphore<1 << 20> wake_{0};
    std::atomic<bool> quit_{false};
};
