#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "util/FileResult.h"

// The copies one run of the program keeps of its modified songs, beside AUTOSAVE.MID in
// the home directory: "RECOVERY-<n>-<k>.MID", listed with their songs' names in
// "RECOVERY-<n>.TXT". The run holds a lock on "RECOVERY-<n>.LCK" while the session
// lives, which the kernel lets go of however the process ends. A list whose lock is free
// was left by a run that ended without tidying up (a crash, a kill): the next start
// offers its songs. Several runs at once each have their own number.
class RecoverySession {
public:
    struct Song {
        std::string copy;     // the copy's name in the home directory
        std::string original; // the song's file at the time, "" for a song without one
        bool operator==(const Song&) const = default;
    };

    // A session of this run under the first number that no other session has; null,
    // with `error`, when no lock file can be made.
    static std::unique_ptr<RecoverySession> Begin(const std::filesystem::path& home,
                                                  std::string* error = nullptr);
    // The sessions of runs that ended without tidying up, by number. Each stays claimed
    // (no other start offers it meanwhile) for as long as its object lives. Lists that
    // name no copy are removed on the way.
    static std::vector<std::unique_ptr<RecoverySession>>
    FindAbandoned(const std::filesystem::path& home);

    // Lets go of the lock; the files stay.
    ~RecoverySession();
    RecoverySession(const RecoverySession&) = delete;
    RecoverySession& operator=(const RecoverySession&) = delete;

    int Number() const { return number_; }
    // The name of copy `k` (from 1) of this session.
    std::string CopyName(int k) const;
    std::filesystem::path Path(const std::string& name) const { return home_ / name; }
    // What the list says. Names that are not copies of this session are left out.
    const std::vector<Song>& Songs() const { return songs_; }
    // Writes `songs` as the list and deletes the copies of this session it does not name.
    // An empty list leaves nothing of the session: no list, no copies, no lock file.
    FileResult Settle(std::vector<Song> songs);

    // The list's text and back; names may hold any byte but the closing zero.
    static std::string FormatList(const std::vector<Song>& songs);
    static std::vector<Song> ParseList(const std::string& text, int number);

private:
    RecoverySession(std::filesystem::path home, int number, int lockFd);
    std::filesystem::path ListPath() const;
    std::filesystem::path LockPath() const;
    bool IsCopyName(const std::string& name) const;
    void RemoveCopiesExcept(const std::vector<Song>& keep) const;

    std::filesystem::path home_;
    int number_;
    int lockFd_;
    std::vector<Song> songs_;
};
