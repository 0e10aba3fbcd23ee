// The bytes the writer produces for the cases that matter.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "midifile/MidiBytes.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

using namespace midibytes;

namespace {

std::string Bytes(Song& song) {
    std::string bytes;
    EXPECT_TRUE(MidiWriter::SongBytes(song, bytes));
    return bytes;
}

// The events of track chunk `n` (0 = conductor), without the chunk header.
std::string Chunk(const std::string& file, int n) {
    std::size_t pos = 14;
    for (;;) {
        const auto length = static_cast<std::size_t>(static_cast<unsigned char>(file[pos + 4]))
                                << 24 |
                            static_cast<unsigned char>(file[pos + 5]) << 16 |
                            static_cast<unsigned char>(file[pos + 6]) << 8 |
                            static_cast<unsigned char>(file[pos + 7]);
        if (n-- == 0)
            return file.substr(pos + 8, length);
        pos += 8 + length;
    }
}

// A track chunk's events after its options record.
std::string TrackEvents(const std::string& file, int n) {
    const std::string chunk = Chunk(file, n);
    return chunk.substr(4 + static_cast<unsigned char>(chunk[3]));
}

} // namespace

TEST(MidiWriter, ASongWithoutTracksIsOneConductorChunk) {
    Song song;
    const std::string file = Bytes(song);
    EXPECT_EQ(file.substr(0, 14), Header(1, 1, 384));
    EXPECT_EQ(Chunk(file, 0), Text(0, 1, "DEVICE=GENERAL.MDV") +
                                  B({0, 0xFF, 0x58, 4, 4, 2, 0x24, 8}) +
                                  B({0, 0xFF, 0x59, 2, 0, 0}) +
                                  B({0, 0xFF, 0x51, 3, 0x07, 0xA1, 0x20}) + EndOfTrack());
}

TEST(MidiWriter, ModesBeyondMinorGetTheirMarker) {
    Song song;
    song.SetKeySignature(0, -2, 2);
    song.SetTempo(96, 0x10000);
    const std::string conductor = Chunk(Bytes(song), 0);
    EXPECT_NE(conductor.find(B({0, 0xFF, 0x59, 2, 0xFE, 1, 0, 0xFF, 0x06, 1, 2})),
              std::string::npos);
    EXPECT_NE(conductor.find(B({0x60, 0xFF, 0x51, 3, 1, 0, 0})), std::string::npos);
}

TEST(MidiWriter, NotesBecomeOnOffPairsWithTheirInstruments) {
    auto song =
        BuildSong("0 p5 b130 n60 10, 4 p5 b130 n60 10, 20 p5 b130 n62 4, 20 p7 c1 n64 100", 96);
    EXPECT_EQ(TrackEvents(Bytes(*song), 1),
              B({0, 0xB0, 0, 1, 0, 0xB0, 32, 2, 0, 0xC0, 5, 0, 0x90, 60, 100}) +
                  // The second 60 ends the first before it starts.
                  B({4, 0x80, 60, 0, 0, 0x90, 60, 100}) + B({10, 0x80, 60, 0, 6, 0x90, 62, 100}) +
                  // Another channel has its own program; no bank is selected for no bank.
                  B({0, 0xC1, 7, 0, 0x91, 64, 100}) +
                  // Notes still sounding end before the end of track, earliest first.
                  B({4, 0x80, 62, 0, 96, 0x81, 64, 0}) + EndOfTrack());
}

TEST(MidiWriter, ControllersPitchBendAndLongMetaEvents) {
    auto song = BuildSong("0 cc7=12805 cc64=127 bend8192", 96);
    auto meta = std::make_unique<MidiMsgNSMetaEvent>(0x7F, std::vector<std::uint8_t>(200, 1));
    song->AddMsg(5, std::move(meta));
    song->AddMsg(6, std::make_unique<MidiMsgNote>(0, 60, 0, 3));
    const std::string events = TrackEvents(Bytes(*song), 1);
    EXPECT_EQ(events.substr(0, 16),
              B({0, 0xB0, 7, 100, 0, 0xB0, 39, 5, 0, 0xB0, 64, 127, 0, 0xE0, 0, 64}));
    // The length of a meta event is a variable-length quantity.
    EXPECT_EQ(events.substr(16, 5), B({5, 0xFF, 0x7F, 0x81, 0x48}));
    // A note of velocity 0 would read back as a note off.
    EXPECT_EQ(events.substr(221, 7), B({1, 0xC0, 0, 0, 0x90, 60, 1}));
}

TEST(MidiWriter, InstructionsWithoutAnAuthorStayInstructions) {
    Song song;
    song.instructions.Set("Play softly");
    const std::string conductor = Chunk(Bytes(song), 0);
    EXPECT_EQ(conductor.substr(0, 4 + 15), Text(0, 1, "") + Text(0, 1, "Play softly"));
}

TEST(MidiWriter, AFailedSaveLeavesTheOldFileAndReportsIt) {
    TempDir dir;
    const auto target = dir.Write("song.mid", "the user's work");
    auto song = BuildSong("0 n60 96");
    // A read-only file stays as it was, even where the folder would allow replacing it.
    ::chmod(target.c_str(), 0444);
    EXPECT_EQ(MidiWriter::SaveSong(*song, target).Describe(),
              target.string() + ": Permission denied");
    EXPECT_EQ(TempDir::Read(target), "the user's work");
    EXPECT_EQ(MidiWriter::SaveSong(*song, dir / "missing-folder" / "x.mid").Reason(),
              "No such file or directory");
    EXPECT_EQ(song->fileName.str(), "");

    ::chmod(target.c_str(), 0644);
    ASSERT_TRUE(MidiWriter::SaveSong(*song, target));
    EXPECT_EQ(TempDir::Read(target).substr(0, 4), "MThd");
    EXPECT_EQ(song->fileName.str(), target.string());
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}
