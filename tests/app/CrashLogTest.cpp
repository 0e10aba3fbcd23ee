#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/CrashLog.h"
#include "support/TempDir.h"
#include "util/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

std::string Time(std::int64_t seconds) {
    char out[32];
    CrashLog::FormatTime(seconds, out);
    return out;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// An address no program has mapped, hidden from the optimiser so that the store is made.
volatile std::uintptr_t gUnmapped = 16;

void WriteNowhere() {
    *reinterpret_cast<volatile int*>(gUnmapped) = 1;
}

// Leaves a file half written, as a save that a crash interrupts.
void StartWriting(const fs::path& target) {
    static AtomicFile file(target);
    if (file.Open().Ok())
        (void)file.Write("MThd");
}

// What the folder holds besides the crash log.
std::vector<std::string> Others(const TempDir& home) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(home.Path()))
        if (entry.path().filename() != CrashLog::kFileName)
            names.push_back(entry.path().filename().string());
    return names;
}

[[noreturn]] void Throw() {
    throw std::runtime_error("the tempo map broke");
}

// An exception that leaves a noexcept function ends the program through std::terminate.
void ThrowThroughNoexcept() noexcept {
    Throw();
}

} // namespace

TEST(CrashLog, TimesAreCalendarDatesInUtc) {
    EXPECT_EQ(Time(0), "1970-01-01 00:00:00 UTC");
    EXPECT_EQ(Time(951782400), "2000-02-29 00:00:00 UTC"); // 2000 is a leap year
    EXPECT_EQ(Time(1709164800), "2024-02-29 00:00:00 UTC");
    EXPECT_EQ(Time(1735689599), "2024-12-31 23:59:59 UTC"); // the 366th day
    EXPECT_EQ(Time(4107542399), "2100-02-28 23:59:59 UTC"); // 2100 is not
    EXPECT_EQ(Time(4107542400), "2100-03-01 00:00:00 UTC");
    // A clock gone wild still gives a date of fixed width.
    EXPECT_EQ(Time(-5), "1970-01-01 00:00:00 UTC");
    EXPECT_EQ(Time(INT64_MAX), "9999-12-31 23:59:59 UTC");
}

TEST(CrashLogDeathTest, AFaultAppendsAReportAndStillEndsTheProgramByItsSignal) {
    TempDir home;
    home.Write(CrashLog::kFileName, "an earlier report\n");
    EXPECT_EXIT(
        {
            CrashLog::Install(home.Path(), "9.8.7");
            CrashLog::SetSongs("  /songs/a.mid (changed; copy RECOVERY-1-1.MID)\n  UNTITLED\n");
            StartWriting(home / "RECOVERY-1-1.MID");
            WriteNowhere();
        },
        ::testing::KilledBySignal(SIGSEGV),
        "Vorlaune ended unexpectedly. A report was added to .*");
    const std::string log = TempDir::Read(home / CrashLog::kFileName);
    EXPECT_TRUE(Others(home).empty()) << "the half-written copy is left";
    EXPECT_TRUE(log.starts_with("an earlier report\n==== ")) << log;
    EXPECT_NE(log.find(" UTC ====\nVorlaune 9.8.7, process "), std::string::npos) << log;
    EXPECT_NE(log.find("Signal 11 (SIGSEGV, invalid memory access) at address 0x10\n"),
              std::string::npos)
        << log;
#if defined(__x86_64__)
    // The registers come before the stack, four to a line, each with all its digits.
    const std::string first = "\nRegisters:\n  rip 0x";
    const auto registers = log.find(first);
    EXPECT_NE(registers, std::string::npos) << log;
    EXPECT_NE(log.find("  r15 0x", registers), std::string::npos) << log;
    EXPECT_LT(registers, log.find("Call stack:\n")) << log;
    const std::string rip = log.substr(registers + first.size(), 16);
    EXPECT_EQ(rip.find_first_not_of("0123456789abcdef"), std::string::npos) << rip;
#endif
    // The call stack has frames, each with its address.
    const auto stack = log.find("Call stack:\n");
    const auto songs = log.find("Open songs:\n");
    ASSERT_NE(stack, std::string::npos);
    ASSERT_NE(songs, std::string::npos);
    EXPECT_GE(Count(log.substr(stack, songs - stack), "[0x"), 3u) << log;
    EXPECT_NE(
        log.find("Open songs:\n  /songs/a.mid (changed; copy RECOVERY-1-1.MID)\n  UNTITLED\n"),
        std::string::npos)
        << log;
}

TEST(CrashLogDeathTest, ASignalFromAnotherProcessNamesItAndALongSongListIsCutAtALine) {
    TempDir home;
    std::string many;
    for (int i = 0; many.size() <= CrashLog::kMaxSongsText; ++i)
        many += "  /songs/song-number-" + std::to_string(i) + ".mid\n";
    EXPECT_EXIT(
        {
            CrashLog::Install(home.Path(), "1.0");
            CrashLog::SetSongs("  first.mid\n");
            CrashLog::SetSongs(many);
            std::raise(SIGFPE);
        },
        ::testing::KilledBySignal(SIGFPE), "");
    const std::string log = TempDir::Read(home / CrashLog::kFileName);
    EXPECT_NE(log.find("Signal 8 (SIGFPE, arithmetic error) sent by process "), std::string::npos)
        << log;
    const std::string songs = log.substr(log.find("Open songs:\n") + 12);
    EXPECT_EQ(songs.find("first.mid"), std::string::npos);
    EXPECT_TRUE(songs.starts_with("  /songs/song-number-0.mid\n"));
    EXPECT_TRUE(songs.ends_with(".mid\n  ...\n\n")) << songs.substr(songs.size() - 80);
    EXPECT_LE(songs.size(), CrashLog::kMaxSongsText + 1);
}

TEST(CrashLogDeathTest, AnUncaughtExceptionIsReportedOnceWithItsText) {
    TempDir home;
    EXPECT_EXIT(
        {
            CrashLog::Install(home.Path(), "1.0");
            StartWriting(home / "song.mid");
            ThrowThroughNoexcept();
        },
        ::testing::KilledBySignal(SIGABRT), "");
    const std::string log = TempDir::Read(home / CrashLog::kFileName);
    EXPECT_TRUE(Others(home).empty()) << "the half-written song is left";
    EXPECT_NE(log.find("Uncaught exception: the tempo map broke\nCall stack:\n"), std::string::npos)
        << log;
    // std::abort raises SIGABRT afterwards: no second report for it.
    EXPECT_EQ(Count(log, "===="), 2u) << log;
    EXPECT_EQ(log.find("Signal"), std::string::npos) << log;
}

TEST(CrashLogDeathTest, WithoutAWritableLogTheReportGoesToStandardError) {
    TempDir dir;
    const fs::path missing = dir / "no-such-folder";
    EXPECT_EXIT(
        {
            CrashLog::Install(missing, "1.0");
            std::raise(SIGBUS);
        },
        ::testing::KilledBySignal(SIGBUS), "Signal 7 \\(SIGBUS, bus error\\).*Call stack:");
    EXPECT_FALSE(fs::exists(missing));
}
