#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "playback/SpscRing.h"

// One short message as an input port delivered it, with its time in milliseconds since
// recording started.
struct MidiRecordEntry {
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    std::uint32_t time = 0;
};

// The messages of one input port on their way from the port's callback to the recording
// dialog: 7200 entries, one writer (the callback) and one reader (the dialog's thread).
// Neither side ever waits for the other. A message that finds the ring full is not
// stored; the first such loss is kept as the port's error, so that it is reported.
class MidiRecordRing {
public:
    static constexpr std::size_t kEntries = 7200;
    // What went wrong on the port: nothing, an error message from the driver, a long
    // message error, or messages that came faster than the ring could take them.
    enum Error : int { kNoError = 0, kDriverError = 1, kLongMessageError = 2, kTooFast = 3 };

    // Writer side.
    bool Write(const MidiRecordEntry& entry);
    // Keeps the first error only: it is the one that explains the rest.
    void SetError(int status, std::uint32_t message, std::uint32_t time);

    // Reader side: the oldest entry, false when there is none.
    bool Read(MidiRecordEntry& entry);
    // Whether the port ever delivered a message.
    bool Received() const { return written_.load(std::memory_order_acquire) != 0; }
    int ErrorStatus() const { return errorStatus_.load(std::memory_order_acquire); }
    std::uint32_t ErrorMessage() const { return errorMessage_; }
    std::uint32_t ErrorTime() const { return errorTime_; }
    // Messages lost because the ring was full.
    std::size_t Lost() const { return lost_.load(std::memory_order_acquire); }

private:
    SpscRing<MidiRecordEntry> ring_{kEntries};
    std::atomic<std::size_t> written_{0};
    std::atomic<std::size_t> lost_{0};
    std::atomic<int> errorStatus_{kNoError};
    // Set before the status is published, read after it is seen.
    std::uint32_t errorMessage_ = 0;
    std::uint32_t errorTime_ = 0;
};
