#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/RecoverySession.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using Song = RecoverySession::Song;

namespace {

bool Has(const TempDir& dir, const std::string& name) {
    return fs::exists(dir / name);
}

} // namespace

TEST(RecoverySession, ListsKeepAnyNameAndOnlyThisSessionsCopies) {
    const std::vector<Song> songs = {
        {"RECOVERY-3-1.MID", "/songs/tab\there/new\nline/back\\slash/\"quote\"/\x1b[2J/ümlaut.mid"},
        {"RECOVERY-3-12.MID", ""},
    };
    EXPECT_EQ(RecoverySession::ParseList(RecoverySession::FormatList(songs), 3), songs);

    // A list names its own copies only: anything else would have a start read or delete
    // a file the list has no business with.
    const std::string planted = RecoverySession::FormatList({
        {"RECOVERY-3-2.MID", "kept"},
        {"RECOVERY-4-1.MID", "another session's"},
        {"/etc/passwd", "absolute"},
        {"../RECOVERY-3-3.MID", "outside"},
        {"RECOVERY-3-3.MID/../../x", "climbing"},
        {"RECOVERY-3-03.MID", "not the name we make"},
        {"RECOVERY-3-.MID", "no number"},
        {"RECOVERY-3-4.MID.tmp", "no copy"},
    });
    EXPECT_EQ(RecoverySession::ParseList(planted, 3),
              (std::vector<Song>{{"RECOVERY-3-2.MID", "kept"}}));
    EXPECT_TRUE(RecoverySession::ParseList("RECOVERY-3-1.MID\tx\n", 3).empty()); // no header
}

TEST(RecoverySession, ARunsSessionIsAbandonedOnlyOnceItsLockIsFree) {
    TempDir home;
    auto first = RecoverySession::Begin(home.Path());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Number(), 1);
    home.Write(first->CopyName(1), "song");
    ASSERT_TRUE(first->Settle({{first->CopyName(1), "/songs/a.mid"}}));
    EXPECT_TRUE(Has(home, "RECOVERY-1.TXT"));

    // Alive: a second run neither offers it nor takes its number.
    EXPECT_TRUE(RecoverySession::FindAbandoned(home.Path()).empty());
    auto second = RecoverySession::Begin(home.Path());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Number(), 2);

    // The first run dies: its lock is free, its files are where they were.
    first.reset();
    auto found = RecoverySession::FindAbandoned(home.Path());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->Number(), 1);
    EXPECT_EQ(found[0]->Songs(), (std::vector<Song>{{"RECOVERY-1-1.MID", "/songs/a.mid"}}));
    // Claimed while the first finder holds it; and a new run still does not reuse it.
    EXPECT_TRUE(RecoverySession::FindAbandoned(home.Path()).empty());
    auto third = RecoverySession::Begin(home.Path());
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->Number(), 3);
    found.clear();
    EXPECT_EQ(RecoverySession::FindAbandoned(home.Path()).size(), 1u);
}

TEST(RecoverySession, SettlingDeletesOnlyTheCopiesOfItsOwnSession) {
    TempDir home;
    for (const char* name :
         {"RECOVERY-1-1.MID", "RECOVERY-1-2.MID", "RECOVERY-2-1.MID", "AUTOSAVE.MID", "victim.mid"})
        home.Write(name, "x");
    auto session = RecoverySession::Begin(home.Path());
    ASSERT_NE(session, nullptr);
    ASSERT_EQ(session->Number(), 1);
    ASSERT_TRUE(session->Settle({{"RECOVERY-1-1.MID", ""}, {"victim.mid", "not a copy"}}));
    EXPECT_EQ(session->Songs(), (std::vector<Song>{{"RECOVERY-1-1.MID", ""}}));
    EXPECT_TRUE(Has(home, "RECOVERY-1-1.MID"));
    EXPECT_FALSE(Has(home, "RECOVERY-1-2.MID"));

    ASSERT_TRUE(session->Settle({}));
    EXPECT_EQ(home.Names(),
              (std::vector<std::string>{"AUTOSAVE.MID", "RECOVERY-2-1.MID", "victim.mid"}));
}

TEST(RecoverySession, AnAbandonedListThatNamesNothingThereIsTidiedAway) {
    TempDir home;
    {
        auto session = RecoverySession::Begin(home.Path());
        ASSERT_NE(session, nullptr);
        home.Write("RECOVERY-1-1.MID", "song");
        ASSERT_TRUE(session->Settle({{"RECOVERY-1-1.MID", "/songs/a.mid"}}));
    }
    fs::remove(home / "RECOVERY-1-1.MID");
    // A list of another session's copies or of files elsewhere offers nothing either.
    home.Write("RECOVERY-2.LCK", "");
    home.Write("RECOVERY-2.TXT", RecoverySession::FormatList({{"victim.mid", "planted"}}));
    home.Write("victim.mid", "x");

    EXPECT_TRUE(RecoverySession::FindAbandoned(home.Path()).empty());
    EXPECT_EQ(home.Names(), (std::vector<std::string>{"victim.mid"}));
}
