#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "playback/PostTarget.h"

// A PostTarget for programs without a window system: posted messages wait in a queue
// until the owning thread takes them.
class PostQueue : public PostTarget {
public:
    struct Posted {
        std::uint32_t message = 0;
        std::int64_t value = 0;
    };

    void Post(std::uint32_t message, std::int64_t value) override;
    // The oldest message, waiting at most `timeout`. False when none arrived.
    bool Wait(Posted& posted, std::chrono::milliseconds timeout);
    std::size_t Count() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Posted> queue_;
};
