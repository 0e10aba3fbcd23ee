// Inputs that are not regular files are refused with a reason, at once.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/TempDir.h"
#include "util/RegularFile.h"

TEST(RegularFile, FoldersPipesAndDevicesAreRefusedWithoutWaiting) {
    TempDir dir;
    std::string bytes = "stale";
    EXPECT_EQ(RegularFile::ReadAll(dir.Path(), bytes, 1 << 20).Describe(),
              dir.Path().string() + ": Is a directory");
    EXPECT_EQ(bytes, "");
    const auto fifo = dir / "song.mid";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Opening a pipe for reading would wait for a writer; this must answer at once.
    EXPECT_EQ(RegularFile::ReadAll(fifo, bytes, 1 << 20).Reason(), "Not a regular file");
    EXPECT_EQ(RegularFile::Check("/dev/zero").Reason(), "Not a regular file");
    EXPECT_EQ(RegularFile::Check(dir / "missing.mid").Reason(), "No such file or directory");
}

TEST(RegularFile, ReadsWholeFilesUpToTheLimit) {
    TempDir dir;
    const auto file = dir.Write("a.mid", std::string(100, 'x'));
    std::string bytes;
    ASSERT_TRUE(RegularFile::ReadAll(file, bytes, 100));
    EXPECT_EQ(bytes.size(), 100u);
    EXPECT_EQ(RegularFile::ReadAll(file, bytes, 99).Reason(), "File too large");
    int fd = -1;
    ASSERT_TRUE(RegularFile::Open(file, fd));
    EXPECT_GE(fd, 0);
    ::close(fd);
}
