#pragma once

#include <filesystem>
#include <string_view>

#include "util/FileResult.h"

// Every file the program writes goes through here, so that the old file survives any
// failure: the bytes go to a new temporary file beside the target, created exclusively
// and never through a symbolic link, every write is checked, the file is flushed to the
// disk and only then renamed over the target, and the folder is flushed too. The target
// keeps its permission bits. A temporary file that is not committed is removed, also
// when the program is stopped by SIGINT, SIGTERM or SIGHUP, or dies of a fault that the
// crash handler reports.
class AtomicFile {
public:
    // Temporary names tried per target before giving up.
    static constexpr int kNameAttempts = 16;

    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file. Refuses, with "Permission denied", a target that is
    // read-only (no write permission bit at all, which holds even for the superuser) or
    // that the user may not write, and anything but a regular file as target.
    FileResult Open();
    // The temporary file, open for reading and writing; -1 when not open.
    int Descriptor() const { return fd_; }
    FileResult Write(std::string_view bytes);
    // Moves the written file into place. With `replace` false an existing target is kept
    // and the result is failure with EEXIST. The temporary file is gone afterwards
    // whatever the result.
    FileResult Commit(bool replace = true);
    // Throws the temporary file away; the target stays as it was.
    void Discard();

    const std::filesystem::path& Target() const { return target_; }
    const std::filesystem::path& TemporaryPath() const { return temporary_; }

    // The temporary names Open tries, in order (attempt 0 to kNameAttempts - 1). They are
    // unique to this process; the exclusive creation settles races and planted links.
    static std::filesystem::path TemporaryName(const std::filesystem::path& target, int attempt);
    // Writes `bytes` as the whole new content of `target`.
    static FileResult Replace(const std::filesystem::path& target, std::string_view bytes);
    // Removes every temporary file still open in this process. Safe in a signal handler;
    // for a program that is about to die.
    static void RemoveOpenTemporaries();

private:
    FileResult Fail(int code);

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    int slot_ = -1; // in the table of names removed on a fatal signal
};
