// The file's structure: chunks, events, running status and what the reader refuses.
#include <gtest/gtest.h>

#include "midifile/MidiBytes.h"
#include "midifile/MidiReader.h"
#include "support/TempDir.h"

using namespace midibytes;

namespace {

bool Read(const std::string& bytes, MidiStream& stream, std::string* error = nullptr) {
    return MidiReader::ReadBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                                 stream, error);
}

const std::string kOneNote = B({0x00, 0x90, 60, 100, 0x60, 0x80, 60, 64}) + EndOfTrack();

} // namespace

TEST(MidiReader, RiffWrappedFilesReadLikePlainOnes) {
    const std::string plain = Header(0, 1, 96) + TrackChunk(kOneNote);
    const std::string riff = "RIFF" + U32(0) + "RMIDdata" + U32(0) + plain;
    MidiStream a, b;
    ASSERT_TRUE(Read(plain, a));
    ASSERT_TRUE(Read(riff, b));
    ASSERT_EQ(b.tracks.size(), 1u);
    EXPECT_EQ(b.tracks[0].messages.size(), a.tracks[0].messages.size());
    EXPECT_EQ(b.ticksPerQuarter, 96);
}

TEST(MidiReader, RefusesWhatIsNotAReadableFile) {
    MidiStream s;
    std::string error;
    EXPECT_FALSE(Read("", s));
    EXPECT_FALSE(Read("MThd", s));
    EXPECT_FALSE(Read("RIFF" + U32(4) + "junk", s));
    EXPECT_FALSE(Read(Header(2, 1, 96) + TrackChunk(kOneNote), s, &error));
    EXPECT_NE(error.find("format"), std::string::npos);
    EXPECT_FALSE(Read(Header(1, 2, 96) + TrackChunk(kOneNote), s)); // a track is missing
    EXPECT_FALSE(Read(Header(0, 1, 0) + TrackChunk(kOneNote), s));  // zero resolution
    // Status bytes that have no place in a file.
    EXPECT_FALSE(Read(Header(0, 1, 96) + TrackChunk(B({0, 0xF1, 0x10}) + EndOfTrack()), s));
    // A data byte with no status before it.
    EXPECT_FALSE(Read(Header(0, 1, 96) + TrackChunk(B({0, 60, 100}) + EndOfTrack()), s));
    // A delta time of six bytes, and one of five that no song could hold.
    EXPECT_FALSE(
        Read(Header(0, 1, 96) +
                 TrackChunk(B({0x81, 0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1}) + EndOfTrack()),
             s));
    EXPECT_FALSE(Read(Header(0, 1, 96) +
                          TrackChunk(B({0x88, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 1}) + EndOfTrack()),
                      s));
    // A length that runs past the track.
    EXPECT_FALSE(Read(Header(0, 1, 96) + TrackChunk(B({0, 0xF0, 0x7F, 1, 2}) + EndOfTrack()), s));
    // Cut off inside the end of track.
    const std::string whole = Header(0, 1, 96) + TrackChunk(kOneNote);
    EXPECT_FALSE(Read(whole.substr(0, whole.size() - 1), s));
}

TEST(MidiReader, UnknownChunksAndBytesAfterTheEndOfATrackAreSkipped) {
    const std::string junk = "Junk" + U32(5) + "hello";
    const std::string padded = "MTrk" + U32(static_cast<std::uint32_t>(kOneNote.size() + 3)) +
                               kOneNote + B({0x2A, 0x2A, 0x2A});
    MidiStream s;
    ASSERT_TRUE(Read(Header(1, 2, 96) + junk + padded + TrackChunk(kOneNote), s));
    ASSERT_EQ(s.tracks.size(), 2u);
    EXPECT_EQ(s.tracks[0].messages.size(), 2u);
    EXPECT_EQ(s.tracks[1].messages.size(), 2u);
}

TEST(MidiReader, ChannelMessagesAndRunningStatus) {
    // Running status carries over meta events and system exclusive.
    const std::string events = B({0x00, 0x90, 60, 100, 0x10, 62, 0}) + Text(0, 1, "x") +
                               B({0x00, 0xF0, 0x02, 0x7E, 0xF7, 0x00, 64, 90}) +
                               B({0x00, 0xE3, 0x00, 0x40, 0x00, 0xB1, 131, 5}) + EndOfTrack();
    MidiStream s;
    ASSERT_TRUE(Read(Header(0, 1, 96) + TrackChunk(events), s));
    const auto& m = s.tracks[0].messages;
    ASSERT_EQ(m.size(), 7u);
    EXPECT_EQ(m[0].Kind(), 8);
    EXPECT_EQ(m[1].Kind(), 9); // velocity 0 is a note off
    EXPECT_EQ(m[1].delta, 0x10);
    EXPECT_EQ(m[3].Kind(), 16);
    EXPECT_EQ(std::get<MSMSystemExclusive>(m[3].body).bytes.size(), 3u);
    EXPECT_EQ(m[4].Kind(), 8);
    EXPECT_EQ(std::get<MSMNoteOn>(m[4].body).key, 64);
    EXPECT_EQ(std::get<MSMPitchWheel>(m[5].body).value, 8192);
    EXPECT_EQ(std::get<MSMControlChange>(m[6].body).controller, 98); // 131 reads as 98
}

TEST(MidiReader, BankLsbJoinsItsMsbAndDroppedEventsKeepTheirTime) {
    const std::string events = B({0x00, 0xB0, 0, 1, 0x05, 0xB0, 32, 5, 0x00, 0x90, 60, 1}) +
                               B({0x00, 0xB0, 32, 7, 0x03, 0xB0, 200, 1, 0x04, 0x80, 60, 0}) +
                               EndOfTrack();
    MidiStream s;
    ASSERT_TRUE(Read(Header(0, 1, 96) + TrackChunk(events), s));
    const auto& m = s.tracks[0].messages;
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(std::get<MSMBankSelect>(m[0].body).bank, 133);
    EXPECT_EQ(m[1].delta, 5);                              // the LSB's delta moved onto the note
    EXPECT_EQ(std::get<MSMBankSelect>(m[2].body).bank, 7); // an LSB alone
    EXPECT_EQ(m[3].delta, 7); // controller 200 is dropped, its delta kept
}

TEST(MidiReader, MetaEventsAndTheModeMarker) {
    const std::string longMeta = B({0x00, 0xFF, 0x7F, 0x82, 0x2C}) + std::string(300, 'm');
    const std::string events =
        B({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}) + B({0x00, 0xFF, 0x58, 0x04, 3, 3, 24, 8}) +
        B({0x00, 0xFF, 0x59, 0x02, 0xFE, 0x01}) + Text(0, 6, "\x02") + Text(0, 6, "verse") +
        longMeta + B({0x00, 0xF0, 0x03, 0x43, 0x10, 0x4C}) + EndOfTrack();
    MidiStream s;
    ASSERT_TRUE(Read(Header(0, 1, 96) + TrackChunk(events), s));
    const auto& m = s.tracks[0].messages;
    ASSERT_EQ(m.size(), 6u);
    EXPECT_EQ(std::get<MSMSetTempo>(m[0].body).microsPerQuarter, 500000);
    EXPECT_EQ(std::get<MSMTimeSignature>(m[1].body).denominator, 8);
    const auto& key = std::get<MSMKeySignature>(m[2].body);
    EXPECT_EQ(key.key, -2);
    EXPECT_EQ(key.mode, 2); // from the marker, which leaves no message
    EXPECT_EQ(std::get<MSMText>(m[3].body).text, "verse");
    EXPECT_EQ(std::get<MSMMiscMetaEvent>(m[4].body).bytes.size(), 300u);
    // A system exclusive packet that continues in a later one has no F7 yet.
    EXPECT_EQ(std::get<MSMSystemExclusive>(m[5].body).bytes.size(), 4u);
}

TEST(MidiReader, TimeCodeDivisionIsKept) {
    MidiStream s;
    ASSERT_TRUE(Read(Header(0, 1, 0xE728) + TrackChunk(kOneNote), s)); // 25 frames, 40 ticks
    EXPECT_EQ(s.smpteFramesPerSecond, 25);
    EXPECT_EQ(s.ticksPerFrame, 40);
    EXPECT_EQ(s.ticksPerQuarter, -1);
}

TEST(MidiReader, MissingFileFails) {
    MidiStream s;
    EXPECT_FALSE(MidiReader::Read("/nonexistent/song.mid", s));
}
