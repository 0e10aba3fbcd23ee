// Writing files so that the old one survives every failure and nothing is written
// through links planted beside it.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempDir.h"
#include "util/AtomicFile.h"
#include "util/FileResult.h"

namespace fs = std::filesystem;

namespace {

mode_t Mode(const fs::path& file) {
    struct stat info {};
    ::stat(file.c_str(), &info);
    return info.st_mode & 07777;
}

// Runs `work` in a child process and returns its wait status.
template <class F> int InChild(F work) {
    const pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

} // namespace

TEST(AtomicFile, ReplacesTheTargetKeepingItsPermissionsAndLeavesNothingBeside) {
    TempDir dir;
    const fs::path target = dir.Write("song.mid", "old");
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(AtomicFile::Replace(target, "new bytes"));
    EXPECT_EQ(TempDir::Read(target), "new bytes");
    EXPECT_EQ(Mode(target), 0640u);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"song.mid"});

    // A new file gets what the umask allows.
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(AtomicFile::Replace(dir / "fresh.mid", ""));
    ::umask(mask);
    EXPECT_EQ(Mode(dir / "fresh.mid"), 0644u);
}

TEST(AtomicFile, LinksPlantedAtEveryTemporaryNameAreNeverFollowed) {
    TempDir dir;
    const fs::path victim = dir.Write("victim", "precious");
    const fs::path target = dir.Write("out.wav", "old");
    for (int i = 0; i < AtomicFile::kNameAttempts; ++i)
        fs::create_symlink(victim, AtomicFile::TemporaryName(target, i));
    const FileResult refused = AtomicFile::Replace(target, "new");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.Reason(), "File exists");
    EXPECT_EQ(TempDir::Read(victim), "precious");
    EXPECT_EQ(TempDir::Read(target), "old");

    // With one name free the write goes there, and still not through any link.
    fs::remove(AtomicFile::TemporaryName(target, AtomicFile::kNameAttempts - 1));
    ASSERT_TRUE(AtomicFile::Replace(target, "new"));
    EXPECT_EQ(TempDir::Read(target), "new");
    EXPECT_EQ(TempDir::Read(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(AtomicFile::TemporaryName(target, 0)));
}

TEST(AtomicFile, ALinkAtTheTargetIsReplacedNotWrittenThrough) {
    TempDir dir;
    const fs::path victim = dir.Write("victim", "precious");
    const fs::path target = dir / "out.mid";
    fs::create_symlink(victim, target);
    ASSERT_TRUE(AtomicFile::Replace(target, "new"));
    EXPECT_FALSE(fs::is_symlink(target));
    EXPECT_EQ(TempDir::Read(target), "new");
    EXPECT_EQ(TempDir::Read(victim), "precious");
}

TEST(AtomicFile, TargetsThatMayNotBeWrittenAreRefusedAndKept) {
    TempDir dir;
    // No write permission at all is read-only for everybody, the superuser too.
    const fs::path locked = dir.Write("locked.mid", "the user's work");
    ::chmod(locked.c_str(), 0444);
    const FileResult refused = AtomicFile::Replace(locked, "new");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.Describe(), locked.string() + ": Permission denied");
    EXPECT_EQ(TempDir::Read(locked), "the user's work");
    EXPECT_EQ(Mode(locked), 0444u);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"locked.mid"});

    EXPECT_EQ(AtomicFile::Replace(dir.Path(), "x").Reason(), "Is a directory");
    EXPECT_EQ(AtomicFile::Replace("/dev/null", "x").Reason(), "Not a regular file");
    EXPECT_EQ(AtomicFile::Replace(dir / "missing" / "x.mid", "x").Reason(),
              "No such file or directory");
}

// The superuser passes every permission check; an immutable folder stops even them.
class LockedFolder {
public:
    explicit LockedFolder(const fs::path& folder) {
        if (::geteuid() != 0) {
            ::chmod(folder.c_str(), 0555);
            reason_ = "Permission denied";
            undo_ = [folder] { ::chmod(folder.c_str(), 0755); };
            return;
        }
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            const int locked = flags | FS_IMMUTABLE_FL;
            if (::ioctl(fd, FS_IOC_SETFLAGS, &locked) == 0) {
                reason_ = "Operation not permitted";
                undo_ = [fd, flags] {
                    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
                    ::close(fd);
                };
                return;
            }
        }
        if (fd >= 0)
            ::close(fd);
    }
    ~LockedFolder() {
        if (undo_)
            undo_();
    }
    // What the system says to a new file there; empty when the folder could not be locked.
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
    std::function<void()> undo_;
};

TEST(AtomicFile, AFolderThatMayNotBeWrittenIsRefusedAndKeepsTheFile) {
    TempDir dir;
    const fs::path folder = dir / "folder";
    fs::create_directory(folder);
    const fs::path inside = folder / "song.mid";
    ASSERT_TRUE(AtomicFile::Replace(inside, "kept"));
    const LockedFolder locked(folder);
    if (locked.Reason().empty())
        GTEST_SKIP() << "running as the superuser without the right to make a folder immutable";
    EXPECT_EQ(AtomicFile::Replace(inside, "new").Describe(),
              inside.string() + ": " + locked.Reason());
    EXPECT_EQ(TempDir::Read(inside), "kept");
    EXPECT_EQ(TempDir::Names(folder), std::vector<std::string>{"song.mid"});
}

TEST(AtomicFile, AFailedWriteRemovesTheTemporaryFileAndKeepsTheTarget) {
    TempDir dir;
    const fs::path target = dir.Write("big.wav", "old");
    // The file size limit stands in for a full disk: the write fails half way.
    const int status = InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const FileResult result = AtomicFile::Replace(target, std::string(1000, 'x'));
        ::_exit(!result && result.Reason() == "File too large" ? 0 : 1);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(TempDir::Read(target), "old");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"big.wav"});
}

TEST(AtomicFile, AnInterruptedWriteRemovesItsTemporaryFile) {
    TempDir dir;
    const fs::path target = dir.Write("out.wav", "old");
    for (int signal : {SIGINT, SIGTERM}) {
        const int status = InChild([&] {
            AtomicFile file(target);
            if (!file.Open() || !file.Write("half a render"))
                ::_exit(1);
            std::raise(signal);
            ::_exit(2); // not reached
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.wav"});
        EXPECT_EQ(TempDir::Read(target), "old");
    }
}

TEST(AtomicFile, ADiscardedOrUncommittedFileLeavesNoTrace) {
    TempDir dir;
    const fs::path target = dir.Write("song.mid", "old");
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write("new"));
        EXPECT_TRUE(fs::exists(file.TemporaryPath()));
    }
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"song.mid"});
    EXPECT_EQ(TempDir::Read(target), "old");

    // Not replacing keeps what is there.
    AtomicFile again(target);
    ASSERT_TRUE(again.Open());
    ASSERT_TRUE(again.Write("new"));
    EXPECT_EQ(again.Commit(false).Reason(), "File exists");
    EXPECT_EQ(TempDir::Read(target), "old");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"song.mid"});
}

TEST(FileResult, ExplainsWithTheFileAndTheSystemsWords) {
    EXPECT_EQ(FileResult().Explain("Save Successful."), "Save Successful.");
    EXPECT_EQ(FileResult::FromErrno("/m/a.mid", ENOSPC).Explain("An Error Occurred\nSaving a.mid."),
              "An Error Occurred\nSaving a.mid.\n\n/m/a.mid: No space left on device");
    EXPECT_EQ(FileResult::Refused("b.mid", "Not a regular file").Describe(),
              "b.mid: Not a regular file");
    EXPECT_EQ(FileResult::FromErrno("", EACCES).Describe(), "Permission denied");
}
