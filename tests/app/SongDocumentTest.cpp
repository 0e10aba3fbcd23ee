#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>

#include "DocumentEdits.h"
#include "app/SongDocument.h"
#include "edit/MC_PutMsgAtTime.h"
#include "edit/MC_TrackOptions.h"
#include "model/AudioFileRegistry.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "model/SongIter.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

TEST(SongDocument, ModifiedMeansDifferentFromTheSavedSong) {
    TempDir dir;
    SongDocument document;
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.Caption().str(), "UNTITLED");
    PutNote(document, 0);
    EXPECT_TRUE(document.IsModified());
    ASSERT_TRUE(document.SaveAs(dir / "a.mid"));
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.Caption().str(), (dir / "a.mid").string());

    // Save, undo, redo: the song is the saved one again; closing would not ask.
    document.Commands().Undo();
    EXPECT_TRUE(document.IsModified());
    document.Commands().Redo();
    EXPECT_FALSE(document.IsModified());

    // Save, undo, another edit: as many steps as at the save, but another song.
    document.Commands().Undo();
    PutNote(document, 96, 62);
    EXPECT_TRUE(document.IsModified());
}

TEST(SongDocument, AFailedSaveKeepsTheWindowModifiedAndTheOldFile) {
    TempDir dir;
    auto document = std::make_unique<SongDocument>(BuildSong("0 n60 96"));
    ASSERT_TRUE(document->SaveAs(dir / "a.mid"));
    const std::string before = TempDir::Read(dir / "a.mid");
    PutNote(*document, 96, 64);

    const FileResult failed = document->SaveAs(dir / "missing-folder" / "b.mid");
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.Reason(), "No such file or directory");
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(document->FilePath(), dir / "a.mid");
    EXPECT_EQ(TempDir::Read(dir / "a.mid"), before);

    SongDocument untitled;
    EXPECT_FALSE(untitled.Save());
}

TEST(SongDocument, RenameDeletesTheOldFileOnlyAfterTheNewOneReadsBack) {
    TempDir dir;
    auto document = std::make_unique<SongDocument>(BuildSong("0 n60 96"));
    ASSERT_TRUE(document->SaveAs(dir / "old.mid"));
    PutNote(*document, 96, 64);
    ASSERT_TRUE(document->Rename(dir / "new.mid"));
    EXPECT_FALSE(fs::exists(dir / "old.mid"));
    EXPECT_FALSE(document->IsModified());
    auto reopened = SongDocument::Open(dir / "new.mid");
    ASSERT_TRUE(reopened);
    EXPECT_EQ(Dump(*reopened), Dump(*document));

    // Another spelling of the same file: renaming to it must not delete the song.
    fs::create_directory(dir / "sub");
    ASSERT_TRUE(document->Rename(dir / "sub" / ".." / "new.mid"));
    EXPECT_TRUE(fs::exists(dir / "new.mid"));

    // A link to the file is the same file too.
    fs::create_symlink(dir / "new.mid", dir / "link.mid");
    ASSERT_TRUE(document->Rename(dir / "link.mid"));
    EXPECT_TRUE(fs::exists(dir / "new.mid"));
    EXPECT_TRUE(SongDocument::Open(dir / "new.mid"));
}

TEST(SongDocument, AutosaveLeavesTheSongItsNameAndItsFileAlone) {
    TempDir dir, home;
    auto document = std::make_unique<SongDocument>(BuildSong("0 n60 96"));
    ASSERT_TRUE(document->SaveAs(dir / "a.mid"));
    const std::string saved = TempDir::Read(dir / "a.mid");
    PutNote(*document, 96, 64);
    EXPECT_TRUE(document->AutosaveDue());
    ASSERT_TRUE(document->Autosave(home.Path()));
    EXPECT_FALSE(document->AutosaveDue());
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(document->FilePath(), dir / "a.mid");
    EXPECT_EQ(TempDir::Read(dir / "a.mid"), saved);
    auto copy = SongDocument::Open(home / "AUTOSAVE.MID");
    ASSERT_TRUE(copy);
    EXPECT_EQ(Dump(*copy), Dump(*document));
}

TEST(SongDocument, CuesRegisterRelativeToTheSongsFolderAndFollowIt) {
    TempDir dir;
    fs::create_directory(dir / "elsewhere");
    auto document = std::make_unique<SongDocument>(
        BuildSong("0 n60 96, 96 text7=Audio:drum.wav, 192 text7=AUDIO:drum.wav, 200 text7=Audio:"));
    ASSERT_TRUE(document->SaveAs(dir / "a.mid"));
    RecordingAudioFileRegistry registry;
    document->AttachCues(&registry);
    ASSERT_EQ(registry.requests.size(), 1u); // each file once; a bare prefix names none
    EXPECT_EQ(registry.requests[0].file.str(), "drum.wav");
    EXPECT_EQ(registry.requests[0].baseDirectory.str(), dir.Path().string());

    ASSERT_TRUE(document->SaveAs(dir / "elsewhere" / "a.mid"));
    ASSERT_EQ(registry.requests.size(), 2u);
    EXPECT_EQ(registry.requests[1].baseDirectory.str(), (dir / "elsewhere").string());
    ASSERT_TRUE(document->Save()); // same folder: nothing new to prepare
    EXPECT_EQ(registry.requests.size(), 2u);
}

TEST(SongDocument, StaffSettingsAreAChangeOfTheSongThatIsSavedAndCanBeUndone) {
    TempDir dir;
    auto document = std::make_unique<SongDocument>(BuildSong("0 n60 96, 0 t1 c1 n48 96"));
    ASSERT_TRUE(document->SaveAs(dir / "a.mid"));
    ViewOptions bass;
    bass.clefType = kClefBass;
    bass.printoutScale = 1.5;
    document->Commands().Submit(std::make_unique<MC_TrackOptions>(document->GetSong(), 1, bass));
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(document->GetSong().GetTrack(0)->options.clefType, kClefGrand);
    ASSERT_TRUE(document->SaveAs(dir / "b.mid"));
    auto reopened = SongDocument::Open(dir / "b.mid");
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->GetSong().GetTrack(1)->options.clefType, kClefBass);
    EXPECT_DOUBLE_EQ(reopened->GetSong().GetTrack(1)->options.printoutScale, 1.5);
    // Every track at once, and back.
    document->Commands().Submit(std::make_unique<MC_TrackOptions>(document->GetSong(), -1, bass));
    EXPECT_EQ(document->GetSong().GetTrack(0)->options.clefType, kClefBass);
    document->Commands().Undo();
    document->Commands().Undo();
    EXPECT_EQ(document->GetSong().GetTrack(0)->options.clefType, kClefGrand);
    EXPECT_EQ(document->GetSong().GetTrack(1)->options.clefType, kClefGrand);
}
