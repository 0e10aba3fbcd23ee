#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "playback/PostQueue.h"
#include "util/AString.h"

class PlayerEngine;
class Song;
class VorlauneGuts;

// Playback without a window: the player's posts are handled on the calling thread.
class ConsolePlayer {
public:
    // With `renderFile`, plays render into that WAV file instead of sounding.
    explicit ConsolePlayer(const std::filesystem::path& renderFile = {});
    ~ConsolePlayer();
    ConsolePlayer(const ConsolePlayer&) = delete;
    ConsolePlayer& operator=(const ConsolePlayer&) = delete;

    PlayerEngine& Engine() const { return *engine_; }
    VorlauneGuts& Guts() const { return *guts_; }

    // Renders the whole song into the render file. False with `error` set; `notes` gets
    // what the user should still hear of (cues that could not play).
    bool Render(Song& song, AString& error, AString& notes);
    // Plays the whole song in real time until it ends or `interrupt` turns true.
    // `onPosition` hears of every new play position. What goes wrong is shown as it
    // happens; `error` stays empty then.
    bool Play(Song& song, const std::atomic<bool>& interrupt,
              const std::function<void(std::int32_t tick)>& onPosition, AString& error);

private:
    // Handles posts until the player stopped. False when it never started.
    bool RunUntilStopped(Song& song, const std::atomic<bool>* interrupt,
                         const std::function<void(std::int32_t tick)>& onPosition);

    std::filesystem::path renderFile_;
    PlayerEngine* engine_ = nullptr;
    std::unique_ptr<VorlauneGuts> guts_;
    PostQueue posts_;
};
