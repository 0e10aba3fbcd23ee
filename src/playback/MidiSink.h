#pragma once

#include <chrono>
#include <cstdint>

struct SoundBuffer;

// Where the sequencer's events go. Called on the real-time side: implementations must
// not allocate, lock or touch files.
class MidiSink {
public:
    virtual ~MidiSink() = default;
    // The clock that `due` times count from, told before the first event.
    virtual void PlayStarted(std::chrono::steady_clock::time_point /*origin*/) {}
    virtual void SendMidi(const std::uint8_t* bytes, int size, std::int64_t due) = 0;
    virtual void StartSound(const SoundBuffer& sound, std::int64_t due) = 0;
    // Ends the sounds started so far.
    virtual void StopSounds() {}
};
