#include "devices/Chords.h"

#include <gtest/gtest.h>

#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

namespace {

constexpr std::int16_t X = Chords::kUnused;

std::bitset<128> Pitches(std::initializer_list<int> pitches) {
    std::bitset<128> set;
    for (int p : pitches)
        set.set(static_cast<std::size_t>(p));
    return set;
}

} // namespace

TEST(Chords, BuiltInTableIsUsedUntilAFileIsLoaded) {
    Chords chords;
    EXPECT_TRUE(chords.IsBuiltIn());
    ASSERT_EQ(chords.Count(), 29u);
    EXPECT_EQ(chords.At(0), (Chords::Chord{4, 0, -5, X, X, X}));
    EXPECT_EQ(chords.At(16), (Chords::Chord{36, 24, 12, 0, X, X}));
    EXPECT_EQ(chords.At(28), (Chords::Chord{9, 6, 3, 0, X, X}));
}

TEST(Chords, EachMomentWithNotesIsOneChordRelativeToMiddleC) {
    auto song = BuildSong("0 n64 384, 0 t1 n60 96, 0 n67 384, 96 cc7=100, "
                          "384 n57 384, 384 n64 384, 384 n60 384, 768 n67 384");
    Chords chords;
    ASSERT_TRUE(chords.LoadFromSong(*song));
    EXPECT_FALSE(chords.IsBuiltIn());
    ASSERT_EQ(chords.Count(), 3u);
    EXPECT_EQ(chords.At(0), (Chords::Chord{0, 4, 7, X, X, X}));
    EXPECT_EQ(chords.At(1), (Chords::Chord{-3, 0, 4, X, X, X}));
    EXPECT_EQ(chords.At(2), (Chords::Chord{7, X, X, X, X, X}));
}

TEST(Chords, AtMostSixLowestNotesAndThirtyNineChords) {
    std::string text = "0 n72 96, 0 n48 96, 0 n50 96, 0 n52 96, 0 n53 96, 0 n55 96, 0 n57 96";
    for (int i = 1; i < 45; ++i)
        text += ", " + std::to_string(i * 96) + " n" + std::to_string(40 + i) + " 96";
    auto song = BuildSong(text);
    Chords chords;
    ASSERT_TRUE(chords.LoadFromSong(*song));
    ASSERT_EQ(chords.Count(), 39u);
    EXPECT_EQ(chords.At(0), (Chords::Chord{-12, -10, -8, -7, -5, -3}));
    EXPECT_EQ(chords.At(38), (Chords::Chord{18, X, X, X, X, X}));
}

TEST(Chords, ASongWithoutNotesKeepsTheBuiltInTable) {
    auto song = BuildSong("0 cc7=100, 384 text1=hello");
    Chords chords;
    chords.LoadFromSong(*BuildSong("0 n60 96"));
    EXPECT_FALSE(chords.LoadFromSong(*song));
    EXPECT_TRUE(chords.IsBuiltIn());
    EXPECT_EQ(chords.Count(), 29u);
}

TEST(Chords, MatchingSearchesFromTheLastChord) {
    Chords chords;
    // Both (7, 4, 0) at 1 and (16, 7, 0) at 2 are present around 60: the later wins.
    EXPECT_EQ(chords.FindChord(60, Pitches({60, 64, 67, 76})), 2);
    EXPECT_EQ(chords.FindChord(60, Pitches({60, 64, 67})), 1);
    EXPECT_EQ(chords.FindChord(60, Pitches({60, 55, 64})), 0);
    EXPECT_EQ(chords.FindChord(60, Pitches({60, 61, 62})), -1);
    EXPECT_EQ(chords.FindChord(60, Pitches({60})), -1);
    // Offsets that leave the MIDI range never match and never read outside the set.
    EXPECT_EQ(chords.FindChord(2, Pitches({2, 6, 9})), 1);
    EXPECT_EQ(chords.FindChord(125, Pitches({125, 0, 1})), -1);
}

TEST(Chords, TheTableWrittenAsASongReadsBackAsTheSameShapes) {
    Chords builtIn;
    auto song = builtIn.ToSong();
    Chords loaded;
    ASSERT_TRUE(loaded.LoadFromSong(*song));
    ASSERT_EQ(loaded.Count(), builtIn.Count());
    for (std::size_t i = 0; i < builtIn.Count(); ++i) {
        Chords::Chord expected = builtIn.At(i);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(loaded.At(i), expected) << "chord " << i;
    }
}

TEST(Chords, ReadFromAChordFileOrBuiltInWhenItCannotBeRead) {
    TempDir dir;
    auto song = BuildSong("0 n60 384, 0 n64 384, 0 n67 384, 384 n57 384, 384 n60 384, 384 n64 384");
    ASSERT_TRUE(MidiWriter::SaveSong(*song, dir / "chords.mid"));
    Chords chords;
    ASSERT_TRUE(chords.Load(dir / "chords.mid"));
    ASSERT_EQ(chords.Count(), 2u);
    EXPECT_EQ(chords.At(0), (Chords::Chord{0, 4, 7, X, X, X}));
    EXPECT_EQ(chords.At(1), (Chords::Chord{-3, 0, 4, X, X, X}));

    dir.Write("broken.mid", "MThd not really");
    EXPECT_FALSE(chords.Load(dir / "broken.mid"));
    EXPECT_TRUE(chords.IsBuiltIn());
    ASSERT_TRUE(chords.Load(dir / "chords.mid"));
    EXPECT_FALSE(chords.Load(dir / "missing.mid"));
    EXPECT_EQ(chords.Count(), 29u);
}
