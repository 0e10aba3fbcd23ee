#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/RecoverySession.h"

class SongDocument;

// Looks after the open songs for the case that the program does not end the ordinary
// way: keeps a copy of each modified song up to date in a RecoverySession, autosaves a
// modified song into AUTOSAVE.MID every few minutes, and keeps the crash log's list of
// open songs current. At start it offers what an earlier run left behind. Everything
// runs on the user-interface thread, from the application's timer: songs are written
// where they are safe to read, never from a crash handler.
class RecoveryKeeper {
public:
    static constexpr const char* kAutosaveSetting = "AutosaveMinutes";
    static constexpr int kDefaultAutosaveMinutes = 2;
    // How often the application calls Tick: a crash loses at most this much editing.
    static constexpr int kTickMs = 750;
    // A copy that could not be written is tried again after this long, or at the next
    // change, not on every tick.
    static constexpr std::int64_t kRetryMs = 30000;

    // `autosaveMinutes` 0 turns autosaving off; the copies are kept all the same.
    RecoveryKeeper(std::filesystem::path home, int autosaveMinutes);
    // Copies of songs still modified stay behind: a run that ends with them did not
    // end the ordinary way.
    ~RecoveryKeeper();
    RecoveryKeeper(const RecoveryKeeper&) = delete;
    RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

    // Brings copies, autosaves and the crash log up to date with `open`, the open songs
    // in window order. Copies of songs that are saved, undone to their file or closed go.
    void Tick(const std::vector<SongDocument*>& open, std::int64_t nowMs);
    // Autosaves `document` when it is modified, changed since its last autosave, and its
    // time has come.
    void AutosaveIfDue(SongDocument& document, std::int64_t nowMs);
    // Asks whether to recover what earlier runs left, when they left anything. On
    // "Recover" returns their songs under their old names, counted as unsaved, with this
    // run's copies of them written; the old copies go then, except any that could not be
    // read. "Discard" deletes the old copies; Cancel keeps them for the next start.
    std::vector<std::unique_ptr<SongDocument>> OfferRecovery(std::int64_t nowMs);

    // This run's copies; null while no song is modified.
    const RecoverySession* Session() const { return session_.get(); }

private:
    struct Kept {
        std::uint64_t serial = 0;
        SongDocument* document = nullptr;
        int copy = 0;                  // the number of its copy, 0 without one
        std::int32_t copiedLevel = -1; // the change level the copy holds
        std::int64_t autosavedAt = 0;
        std::int32_t failedLevel = -1; // the level a copy last failed for
        std::int64_t retryAt = 0;
    };

    Kept& Find(SongDocument& document, std::int64_t nowMs);
    bool KeepCopy(Kept& kept, std::int64_t nowMs);
    void Autosave(Kept& kept, std::int64_t nowMs);
    std::vector<SongDocument*> Documents() const;

    std::filesystem::path home_;
    std::int64_t autosaveMs_;
    std::unique_ptr<RecoverySession> session_;
    std::vector<Kept> kept_;
    int copies_ = 0;
    std::string logged_;
};
