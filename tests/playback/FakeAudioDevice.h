#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "playback/AudioDevice.h"

// Stands in for a sound card while it lives: every output opened gets a thread of its
// own that asks it for blocks at about real-time pace and remembers how loud each was.
// The test program's operator new and delete count the calls made inside a callback.
class FakeAudioDevice : public AudioStandIn {
public:
    static constexpr int kFrames = 256;

    // One opened output.
    class Lane {
    public:
        explicit Lane(AudioSource& source);
        ~Lane();
        AudioSource& Source() const { return source_; }
        // Blocks asked for so far, and those finished.
        std::uint64_t Begun() const { return begun_.load(std::memory_order_acquire); }
        std::uint64_t Done() const { return done_.load(std::memory_order_acquire); }
        // Waits until `count` blocks are finished; false after `timeout`.
        bool WaitDone(std::uint64_t count, std::chrono::milliseconds timeout) const;
        // The loudest sample of the blocks from `first` to the last finished.
        float PeakSince(std::uint64_t first) const;
        // Waits until a block from `first` on has a sample louder than `level`.
        bool WaitLouder(std::uint64_t first, float level, std::chrono::milliseconds timeout) const;
        // A stalled audio thread: no block is asked for until Resume. Returns once none
        // is under way.
        void Pause();
        void Resume() { pause_.store(false); }

    private:
        void Run();

        AudioSource& source_;
        std::vector<float> peaks_;
        std::atomic<std::uint64_t> begun_{0};
        std::atomic<std::uint64_t> done_{0};
        std::atomic<bool> quit_{false};
        std::atomic<bool> pause_{false};
        std::atomic<bool> parked_{false};
        std::thread thread_;
    };

    FakeAudioDevice();
    ~FakeAudioDevice() override;
    // No longer the stand-in; outputs already open stay open.
    void Uninstall();

    bool Open(AudioSource& source) override;
    void Close(AudioSource& source) override;
    // The output opened last and still open, null when none.
    Lane* Last();

    // Allocations and frees made inside callbacks, in the whole program so far.
    static long CallbackAllocations();

private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<Lane>> lanes_;
    bool installed_ = false;
    AudioStandIn* previous_ = nullptr;
};
