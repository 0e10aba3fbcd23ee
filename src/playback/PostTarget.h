#pragma once

#include <cstdint>

// Window commands the player posts.
constexpr std::uint32_t kPlayerWantsData = 400;
constexpr std::uint32_t kPlayPosition = 401;
constexpr std::uint32_t kPlayerStopped = 402;
constexpr std::uint32_t kPlayerError = 403;

// Where the player's notifications go. Post may be called from any thread and must
// return at once; the receiver handles the message later on its own thread.
class PostTarget {
public:
    virtual ~PostTarget() = default;
    virtual void Post(std::uint32_t message, std::int64_t value) = 0;
};
