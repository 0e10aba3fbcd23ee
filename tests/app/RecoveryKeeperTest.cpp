#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "DocumentEdits.h"
#include "app/RecoveryKeeper.h"
#include "app/SongDocument.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"
#include "util/Messages.h"

namespace fs = std::filesystem;

namespace {

std::string DumpFile(const fs::path& file) {
    auto document = SongDocument::Open(file);
    return document ? Dump(*document) : "(unreadable)";
}

std::vector<std::string> RecoveryFiles(const TempDir& home) {
    std::vector<std::string> names;
    for (const std::string& name : home.Names())
        if (name.starts_with("RECOVERY-"))
            names.push_back(name);
    return names;
}

// Answers every question with `answer` and keeps what was shown.
class Answering : public MessageSink {
public:
    explicit Answering(MessageAnswer answer) : answer_(answer) { previous_ = SetMessageSink(this); }
    ~Answering() override { SetMessageSink(previous_); }
    MessageAnswer Show(const Message& message) override {
        shown.push_back(message);
        return message.buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer_;
    }
    std::vector<Message> shown;

private:
    MessageAnswer answer_;
    MessageSink* previous_ = nullptr;
};

class RecoveryKeeperTest : public ::testing::Test {
protected:
    void SetUp() override {
        song = std::make_unique<SongDocument>(BuildSong("0 n60 384, 384 n64 384"));
        ASSERT_TRUE(song->SaveAs(songs / "song.mid"));
        original = TempDir::Read(songs / "song.mid");
    }

    // A run that ends without tidying up: an edited song and an edited new one.
    void Crash() {
        RecoveryKeeper run(home.Path(), 0);
        PutNote(*song, 768, 67);
        PutNote(untitled, 0, 72);
        run.Tick({song.get(), &untitled}, 0);
        ASSERT_EQ(RecoveryFiles(home).size(), 4u); // lock, list and two copies
    }

    TempDir home;
    TempDir songs;
    std::unique_ptr<SongDocument> song;
    SongDocument untitled;
    std::string original;
};

} // namespace

TEST_F(RecoveryKeeperTest, AModifiedSongsCopyFollowsEveryChangeAndGoesWhenItIsSavedOrClosed) {
    RecoveryKeeper keeper(home.Path(), 0);
    keeper.Tick({song.get()}, 0);
    EXPECT_EQ(keeper.Session(), nullptr); // nothing to keep

    PutNote(*song, 768, 67);
    keeper.Tick({song.get()}, 750);
    ASSERT_NE(keeper.Session(), nullptr);
    ASSERT_EQ(keeper.Session()->Songs().size(), 1u);
    const RecoverySession::Song kept = keeper.Session()->Songs()[0];
    EXPECT_EQ(kept.original, (songs / "song.mid").string());
    EXPECT_EQ(DumpFile(home / kept.copy), Dump(*song));

    PutNote(*song, 1152, 69);
    keeper.Tick({song.get()}, 1500);
    EXPECT_EQ(DumpFile(home / kept.copy), Dump(*song));
    EXPECT_EQ(TempDir::Read(songs / "song.mid"), original);

    // Undone to what the file holds: nothing to recover any more.
    song->Commands().Undo();
    song->Commands().Undo();
    keeper.Tick({song.get()}, 2250);
    EXPECT_EQ(keeper.Session(), nullptr);
    EXPECT_TRUE(RecoveryFiles(home).empty());

    // Saved, or closed (not among the open songs any more), the same.
    PutNote(*song, 768, 67);
    PutNote(untitled, 0);
    keeper.Tick({song.get(), &untitled}, 3000);
    EXPECT_EQ(RecoveryFiles(home).size(), 4u);
    ASSERT_TRUE(song->Save());
    keeper.Tick({song.get(), &untitled}, 3750);
    ASSERT_EQ(keeper.Session()->Songs().size(), 1u);
    EXPECT_EQ(keeper.Session()->Songs()[0].original, "");
    keeper.Tick({song.get()}, 4500);
    EXPECT_TRUE(RecoveryFiles(home).empty());
}

TEST_F(RecoveryKeeperTest, RecoverOpensTheSongsUnderTheirNamesUnsavedAndTheOldCopiesGo) {
    Crash();
    if (HasFatalFailure())
        return;
    const std::string edited = Dump(*song);
    const std::string editedNew = Dump(untitled);

    RecoveryKeeper next(home.Path(), 0);
    std::vector<std::unique_ptr<SongDocument>> recovered;
    {
        Answering sink(MessageAnswer::Yes);
        recovered = next.OfferRecovery(0);
        ASSERT_EQ(sink.shown.size(), 1u);
        const Message& question = sink.shown[0];
        EXPECT_EQ(question.buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(question.yesText.str(), "Recover");
        EXPECT_EQ(question.noText.str(), "Discard");
        EXPECT_NE(question.text.str().find((songs / "song.mid").string() + "\nUNTITLED\n"),
                  std::string::npos)
            << question.text.str();
    }
    ASSERT_EQ(recovered.size(), 2u);
    EXPECT_EQ(recovered[0]->FilePath(), songs / "song.mid");
    EXPECT_TRUE(recovered[0]->IsModified());
    EXPECT_EQ(Dump(*recovered[0]), edited);
    EXPECT_FALSE(recovered[1]->HasFileName());
    EXPECT_TRUE(recovered[1]->IsModified());
    EXPECT_EQ(Dump(*recovered[1]), editedNew);
    EXPECT_EQ(TempDir::Read(songs / "song.mid"), original);

    // The old run's files are gone; this run keeps copies of its own.
    EXPECT_FALSE(fs::exists(home / "RECOVERY-1.TXT"));
    ASSERT_NE(next.Session(), nullptr);
    EXPECT_EQ(next.Session()->Songs().size(), 2u);
    Answering again(MessageAnswer::Yes);
    EXPECT_TRUE(RecoveryKeeper(home.Path(), 0).OfferRecovery(0).empty());
    EXPECT_TRUE(again.shown.empty());

    // Saving the recovered song writes its own file at last.
    ASSERT_TRUE(recovered[0]->Save());
    EXPECT_EQ(DumpFile(songs / "song.mid"), edited);
}

TEST_F(RecoveryKeeperTest, CancelKeepsTheCopiesForTheNextStartAndDiscardDeletesThem) {
    Crash();
    const std::vector<std::string> left = RecoveryFiles(home);
    {
        Answering sink(MessageAnswer::Cancel);
        EXPECT_TRUE(RecoveryKeeper(home.Path(), 0).OfferRecovery(0).empty());
        EXPECT_EQ(sink.shown.size(), 1u);
    }
    EXPECT_EQ(RecoveryFiles(home), left);
    {
        Answering sink(MessageAnswer::No);
        EXPECT_TRUE(RecoveryKeeper(home.Path(), 0).OfferRecovery(0).empty());
        EXPECT_EQ(sink.shown.size(), 1u);
    }
    EXPECT_TRUE(RecoveryFiles(home).empty());
    EXPECT_EQ(TempDir::Read(songs / "song.mid"), original);
}

TEST_F(RecoveryKeeperTest, ACopyThatCannotBeReadStaysForTheNextStart) {
    Crash();
    home.Write("RECOVERY-1-1.MID", "not a song");
    Answering sink(MessageAnswer::Yes);
    {
        RecoveryKeeper next(home.Path(), 0);
        const auto recovered = next.OfferRecovery(0);
        ASSERT_EQ(recovered.size(), 1u);
        EXPECT_FALSE(recovered[0]->HasFileName());
        ASSERT_EQ(sink.shown.size(), 2u);
        EXPECT_EQ(sink.shown[1].title.str(), "Read Error:");
        EXPECT_NE(sink.shown[1].text.str().find("The copy of " + (songs / "song.mid").string() +
                                                " stays for the next start."),
                  std::string::npos)
            << sink.shown[1].text.str();
        next.Tick({}, 0); // the recovered song is closed without saving
    }
    sink.shown.clear();
    EXPECT_TRUE(RecoveryKeeper(home.Path(), 0).OfferRecovery(0).empty());
    ASSERT_EQ(sink.shown.size(), 2u);
    EXPECT_NE(sink.shown[0].text.str().find((songs / "song.mid").string()), std::string::npos);
    EXPECT_EQ(sink.shown[0].text.str().find("UNTITLED"), std::string::npos);
}

TEST_F(RecoveryKeeperTest, AutosaveWritesAModifiedSongEveryPeriodAndNotAtAllWhenOff) {
    const fs::path autosave = home / SongDocument::kAutosaveName;
    RecoveryKeeper keeper(home.Path(), 2);
    keeper.Tick({song.get()}, 0);
    PutNote(*song, 768, 67);
    keeper.Tick({song.get()}, 119999);
    EXPECT_FALSE(fs::exists(autosave));
    keeper.Tick({song.get()}, 120000);
    EXPECT_EQ(DumpFile(autosave), Dump(*song));
    EXPECT_TRUE(song->IsModified()); // the song's own file and state stay

    // Nothing new: no autosave. A change: at the next period; a window asking early waits.
    fs::remove(autosave);
    keeper.Tick({song.get()}, 400000);
    EXPECT_FALSE(fs::exists(autosave));
    PutNote(*song, 1152, 69);
    keeper.AutosaveIfDue(*song, 400000);
    EXPECT_EQ(DumpFile(autosave), Dump(*song));
    PutNote(*song, 1536, 71);
    keeper.AutosaveIfDue(*song, 400001);
    EXPECT_NE(DumpFile(autosave), Dump(*song));

    RecoveryKeeper off(home.Path(), 0);
    fs::remove(autosave);
    off.Tick({song.get()}, 0);
    off.Tick({song.get()}, 10000000);
    EXPECT_FALSE(fs::exists(autosave));
}

TEST_F(RecoveryKeeperTest, ACopyThatCannotBeWrittenIsTriedAgainLaterNotOnEveryTick) {
    const fs::path later = home / "not-yet";
    RecoveryKeeper keeper(later, 0);
    PutNote(*song, 768, 67);
    keeper.Tick({song.get()}, 0);
    EXPECT_EQ(keeper.Session(), nullptr);
    fs::create_directory(later);
    keeper.Tick({song.get()}, RecoveryKeeper::kRetryMs - 1);
    EXPECT_EQ(keeper.Session(), nullptr);
    keeper.Tick({song.get()}, RecoveryKeeper::kRetryMs);
    ASSERT_NE(keeper.Session(), nullptr);
    EXPECT_EQ(DumpFile(later / keeper.Session()->Songs()[0].copy), Dump(*song));
    // A change is worth trying at once.
    RecoveryKeeper other(home / "missing", 0);
    other.Tick({song.get()}, 0);
    fs::create_directory(home / "missing");
    PutNote(*song, 1152, 69);
    other.Tick({song.get()}, 1);
    EXPECT_NE(other.Session(), nullptr);
}
