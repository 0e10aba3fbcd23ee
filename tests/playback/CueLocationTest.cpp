#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "playback/CueLocation.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

TEST(CueLocation, NamesAreFoundInTheSongsFolderAndThoseLeadingOutAreMarked) {
    TempDir top;
    const fs::path folder = top / "song";
    fs::create_directory(folder);
    const AString songFolder(folder.string());

    CueLocation where = LocateCue("drum.wav", songFolder);
    EXPECT_EQ(where.path, folder / "drum.wav");
    EXPECT_FALSE(where.outside);
    where = LocateCue("kit/../drum.wav", AString(folder.string() + "/"));
    EXPECT_EQ(where.path, folder / "drum.wav");
    EXPECT_FALSE(where.outside);
    where = LocateCue(AString((folder / "drum.wav").string()), songFolder);
    EXPECT_FALSE(where.outside); // absolute, but inside

    where = LocateCue("../drum.wav", songFolder);
    EXPECT_EQ(where.path, top / "drum.wav");
    EXPECT_TRUE(where.outside);
    EXPECT_TRUE(LocateCue("/dev/zero", songFolder).outside);
    EXPECT_TRUE(LocateCue("..", songFolder).outside);

    // A link counts where it leads.
    top.Write("real.wav", "");
    fs::create_symlink(top / "real.wav", folder / "link.wav");
    where = LocateCue("link.wav", songFolder);
    EXPECT_EQ(where.path, top / "real.wav");
    EXPECT_TRUE(where.outside);
}

TEST(CueLocation, WithoutAFolderOnlyAbsoluteNamesLeadAnywhere) {
    CueLocation where = LocateCue("drum.wav", "");
    EXPECT_TRUE(where.path.empty());
    EXPECT_EQ(where.error, "The song has not been saved yet, so there is no folder to find the "
                           "file in.");
    where = LocateCue("/sounds/drum.wav", "");
    EXPECT_EQ(where.path, "/sounds/drum.wav");
    EXPECT_TRUE(where.outside);
    EXPECT_EQ(LocateCue("", "/songs").error, "The cue names no file.");
}

TEST(CueLocation, ZeroBytesEndingTheNameAreDroppedAndOthersLeadNowhere) {
    TempDir top;
    const fs::path folder = top / "song";
    fs::create_directory(folder);
    const AString songFolder(folder.string());
    using namespace std::string_literals;

    CueLocation where = LocateCue(AString("drum.wav\0\0"s), songFolder);
    EXPECT_EQ(where.path, folder / "drum.wav");
    EXPECT_FALSE(where.outside);
    EXPECT_EQ(LocateCue(AString("\0"s), songFolder).error, "The cue names no file.");
    // The system would stop reading at the zero byte, at another file than the one named.
    for (const std::string& name : {"drum.wav\0/../../secret.wav"s, "kit\0drum.wav"s}) {
        where = LocateCue(AString(name), songFolder);
        EXPECT_TRUE(where.path.empty());
        EXPECT_EQ(where.error, "The cue's file name holds a zero byte.");
    }
}
