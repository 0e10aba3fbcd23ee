#include "record/MidiRecordRing.h"

bool MidiRecordRing::Write(const MidiRecordEntry& entry) {
    // The ring's slots are a power of two; the port holds no more than its own number.
    if (ring_.Size() >= kEntries || !ring_.Push(entry)) {
        lost_.fetch_add(1, std::memory_order_release);
        SetError(kTooFast,
                 std::uint32_t{entry.status} | std::uint32_t{entry.data1} << 8 |
                     std::uint32_t{entry.data2} << 16,
                 entry.time);
        return false;
    }
    written_.fetch_add(1, std::memory_order_release);
    return true;
}

void MidiRecordRing::SetError(int status, std::uint32_t message, std::uint32_t time) {
    if (errorStatus_.load(std::memory_order_relaxed) != kNoError || status == kNoError)
        return;
    errorMessage_ = message;
    errorTime_ = time;
    errorStatus_.store(status, std::memory_order_release);
}

bool MidiRecordRing::Read(MidiRecordEntry& entry) {
    const MidiRecordEntry* oldest = ring_.Peek();
    if (!oldest)
        return false;
    entry = *oldest;
    ring_.Pop();
    return true;
}
