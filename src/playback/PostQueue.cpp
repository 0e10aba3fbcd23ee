#include "playback/PostQueue.h"

void PostQueue::Post(std::uint32_t message, std::int64_t value) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({message, value});
    }
    ready_.notify_one();
}

bool PostQueue::Wait(Posted& posted, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!ready_.wait_for(lock, timeout, [this] { return !queue_.empty(); }))
        return false;
    posted = queue_.front();
    queue_.pop_front();
    return true;
}

std::size_t PostQueue::Count() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}
