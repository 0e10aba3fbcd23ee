// Delete Audio offers to delete a file only when it is the cue's own wave file in the
// song's folder; every other case keeps the file and says why.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AudioFileDeletion.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

TEST(AudioFileDeletion, OnlyTheCuesOwnWaveInTheSongsFolder) {
    TempDir top;
    fs::create_directory(top / "song");
    fs::create_directory(top / "song/sub");
    top.Write("outside.wav", "RIFF");
    top.Write("song/take.WAV", "RIFF");
    top.Write("song/sub/deep.wav", "RIFF");
    top.Write("song/shared.wav", "RIFF");
    top.Write("song/tune.mid", "MThd");
    fs::create_symlink(top / "outside.wav", top / "song/link.wav");
    fs::create_symlink(top.Path(), top / "song/up");
    fs::create_directory(top / "song/folder.wav");
    const AString folder((top / "song").string());
    const std::vector<AudioFileDeletion::OtherCue> others{{"./shared.wav", folder}};

    auto check = [&](const char* name) { return AudioFileDeletion::Check(name, folder, others); };
    EXPECT_TRUE(check("take.WAV").Allowed());
    EXPECT_EQ(check("take.WAV").path, fs::canonical(top / "song/take.WAV"));
    EXPECT_TRUE(check("sub/deep.wav").Allowed());

    for (const char* kept : {"../outside.wav", "link.wav", "up/outside.wav", "tune.mid",
                             "shared.wav", "missing.wav", "folder.wav", ""}) {
        SCOPED_TRACE(kept);
        const AudioFileDeletion verdict = check(kept);
        EXPECT_FALSE(verdict.Allowed());
        EXPECT_TRUE(verdict.path.empty());
    }
    const std::string absolute = (top / "song/take.WAV").string();
    EXPECT_FALSE(check(absolute.c_str()).Allowed());
    // A song never saved has no folder to delete in.
    EXPECT_FALSE(AudioFileDeletion::Check("take.WAV", "", {}).Allowed());
    // The same file named by a cue of another song in another folder.
    const std::vector<AudioFileDeletion::OtherCue> elsewhere{
        {AString((top / "song/take.WAV").string()), AString(top.Path().string())}};
    EXPECT_FALSE(AudioFileDeletion::Check("take.WAV", folder, elsewhere).Allowed());
    EXPECT_TRUE(fs::exists(top / "song/take.WAV"));
}
