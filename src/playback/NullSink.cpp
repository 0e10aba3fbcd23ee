#include "playback/NullSink.h"

#include <algorithm>

void NullSink::Record(Sent sent) {
    if (sent_.size() == sent_.capacity()) {
        ++dropped_;
        return;
    }
    sent.at = std::chrono::duration_cast<std::chrono::nanoseconds>(
                  std::chrono::steady_clock::now() - origin_)
                  .count();
    sent_.push_back(sent);
}

void NullSink::SendMidi(const std::uint8_t* bytes, int size, std::int64_t due) {
    Sent sent;
    sent.due = due;
    sent.size = static_cast<std::uint8_t>(std::clamp(size, 0, 3));
    std::copy(bytes, bytes + sent.size, sent.bytes);
    Record(sent);
}

void NullSink::StartSound(const SoundBuffer& /*sound*/, std::int64_t due) {
    Sent sent;
    sent.due = due;
    sent.sound = true;
    Record(sent);
}
