// What a file becomes as a song: notes paired, controllers joined, the conductor track's
// data, the program's own records, track summaries.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "midifile/MidiBytes.h"
#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "midifile/SongExtensions.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "support/TempDir.h"
#include "util/INIFile.h"

using namespace midibytes;

namespace {

std::unique_ptr<Song> Load(const std::string& bytes, const char* name = "") {
    MidiStream stream;
    if (!MidiReader::ReadBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                               stream))
        return nullptr;
    return MidiReader::BuildSong(stream, name);
}

std::unique_ptr<Song> LoadSingle(const std::string& events, int division = 96) {
    return Load(Header(0, 1, division) + TrackChunk(events + EndOfTrack()));
}

} // namespace

TEST(SongLoader, NotesArePairedWithTheirOffs) {
    auto song = LoadSingle(B({0x00, 0x90, 60, 100, 0x00, 0x90, 62, 90, 0x10, 0x90, 62, 0}) +
                           B({0x08, 0x90, 60, 80, 0x08, 0x80, 60, 33, 0x00, 0x90, 64, 1}) +
                           B({0x00, 0x80, 64, 0, 0x00, 0x90, 65, 1}));
    ASSERT_TRUE(song);
    EXPECT_EQ(DumpRecords(*song),
              // The first 60 ends where the second starts; 64 is off at once (2 ticks); 65
              // never ends (1 tick).
              "0 0 note ch=0 key=60 vel=100 rel=0 dur=24 prog=0 bank=-1\n"
              "0 0 note ch=0 key=62 vel=90 rel=0 dur=16 prog=0 bank=-1\n"
              "24 0 note ch=0 key=60 vel=80 rel=33 dur=8 prog=0 bank=-1\n"
              "32 0 note ch=0 key=64 vel=1 rel=0 dur=2 prog=0 bank=-1\n"
              "32 0 note ch=0 key=65 vel=1 rel=0 dur=1 prog=0 bank=-1\n");
}

TEST(SongLoader, ControllersJoinTheirFinePartnersAndInstrumentsFollowSelections) {
    // Controller 10 is coarse too: without its fine partner it holds 64 * 128.
    auto song = LoadSingle(B({0x00, 0xB2, 7, 100, 0x00, 0xB2, 39, 5, 0x00, 0xB2, 10, 64}) +
                           B({0x00, 0xB2, 0, 1, 0x00, 0xB2, 32, 5, 0x00, 0xC2, 40}) +
                           B({0x00, 0x92, 60, 100, 0x00, 0xE2, 0x7F, 0x7F, 0x00, 0xD2, 9}) +
                           B({0x00, 0xA2, 60, 3}));
    ASSERT_TRUE(song);
    EXPECT_EQ(DumpRecords(*song),
              "0 0 cc ch=2 ctl=7 val=12805\n"
              "0 0 cc ch=2 ctl=10 val=8192\n" // a coarse value alone
              "0 0 cc ch=2 ctl=255 val=16383\n"
              "0 0 note ch=2 key=60 vel=100 rel=0 dur=1 prog=40 bank=133\n"
              "0 0 chanat ch=2 val=9\n"
              "0 0 polyat ch=2 key=60 val=3\n");
    const Track& t = *song->GetTrack(0);
    EXPECT_EQ(t.channel, 2);
    EXPECT_EQ(t.program, 40);
    EXPECT_EQ(t.bank, 133);
}

TEST(SongLoader, ASingleTrackFileKeepsItsTimingAndAllItsEvents) {
    auto song = LoadSingle(B({0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}) +
                           B({0x00, 0xFF, 0x58, 0x04, 3, 2, 24, 8}) +
                           B({0x00, 0xFF, 0x59, 0x02, 0x02, 0x00}) + Text(0, 3, "Name") +
                           B({0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0}));
    ASSERT_TRUE(song);
    EXPECT_EQ(DumpSong(*song), "tpq 96\n"
                               "title Name\n"
                               "device GENERAL.MDV\n"
                               "tempo 0 1000000\n"
                               "sig 0 3/4 2 0\n"
                               "track 0 channel 0 program 255 bank -1 options "
                               "VLOPT:0,1,0,0,1,0,35,0.010000,0.020000,1.300000,30,0\n"
                               "0 0 text type=3 \"Name\"\n"
                               "0 0 note ch=0 key=60 vel=100 rel=0 dur=96 prog=0 bank=-1\n");
}

TEST(SongLoader, TheConductorTrackGivesPropertiesSignaturesAndSongMessages) {
    const std::string conductor =
        Text(0, 3, "Title") + Text(0, 1, "Author") + Text(0, 1, "Do this") + Text(0, 1, "third") +
        Text(0, 2, "(c)") + Text(0, 3, "second name") + B({0x00, 0xF0, 0x01, 0xF7}) +
        B({0x00, 0xFF, 0x21, 0x01, 0x00}) +
        // 2/4 at measure 0 replaced by 3/4 at the same measure ...
        B({0x00, 0xFF, 0x58, 0x04, 2, 2, 24, 8, 0x00, 0xFF, 0x58, 0x04, 3, 2, 24, 8}) +
        // ... then four 3/4 measures later a key change and 6/8.
        B({0x89, 0x00, 0xFF, 0x59, 0x02, 0xFD, 0x01, 0x00, 0xFF, 0x58, 0x04, 6, 3, 24, 8}) +
        B({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}) + EndOfTrack();
    auto song = Load(Header(1, 2, 96) + TrackChunk(conductor) +
                     TrackChunk(B({0, 0x90, 60, 1}) + EndOfTrack()));
    ASSERT_TRUE(song);
    EXPECT_EQ(DumpSong(*song), "tpq 96\n"
                               "title Title\n"
                               "author Author\n"
                               "copyright (c)\n"
                               "instructions Do this\n"
                               "device GENERAL.MDV\n"
                               "tempo 0 500000\n"
                               "tempo 1152 500000\n"
                               "sig 0 3/4 0 0\n"
                               "sig 4 6/8 -3 1\n"
                               "track 0 channel 0 program 255 bank -1 options "
                               "VLOPT:0,1,0,0,1,0,35,0.010000,0.020000,1.300000,30,0\n"
                               "songmsg text type=1 \"third\"\n"
                               "songmsg text type=3 \"second name\"\n"
                               "songmsg sysex len=2\n"
                               "songmsg meta type=33 len=1\n"
                               "0 0 note ch=0 key=60 vel=1 rel=0 dur=1 prog=0 bank=-1\n");
}

TEST(SongLoader, AFirstTrackWithNotesOrTimedTextsKeepsThemAsATrack) {
    const std::string conductor = Text(0, 3, "Name") + B({0x00, 0x91, 50, 100, 0x30, 0x81, 50, 0}) +
                                  Text(0x10, 6, "Chorus") + EndOfTrack();
    auto song = Load(Header(1, 2, 96) + TrackChunk(conductor) +
                     TrackChunk(B({0, 0x90, 60, 1}) + EndOfTrack()));
    ASSERT_TRUE(song);
    EXPECT_EQ(song->title.text.str(), "Name");
    EXPECT_EQ(song->TrackCount(), 2u);
    EXPECT_EQ(DumpRecords(*song), "0 0 note ch=1 key=50 vel=100 rel=0 dur=48 prog=0 bank=-1\n"
                                  "0 1 note ch=0 key=60 vel=1 rel=0 dur=1 prog=0 bank=-1\n"
                                  "64 0 text type=6 \"Chorus\"\n");
    EXPECT_TRUE(song->SongMessages().IsEmpty());
}

TEST(SongLoader, TracksThatGiveNothingAreSkippedAndSummariesAreComputed) {
    const std::string empty = B({0x00, 0xC0, 5}) + EndOfTrack(); // a program change alone
    const std::string mixed =
        B({0x00, 0xC3, 5, 0x00, 0x93, 60, 1, 0x00, 0xC3, 6, 0x00, 0x94, 60, 1}) + EndOfTrack();
    const std::string touch = B({0x00, 0xD5, 7}) + EndOfTrack();
    auto song = Load(Header(1, 4, 96) + TrackChunk(EndOfTrack()) + TrackChunk(empty) +
                     TrackChunk(mixed) + TrackChunk(touch));
    ASSERT_TRUE(song);
    ASSERT_EQ(song->TrackCount(), 2u);
    EXPECT_EQ(song->GetTrack(0)->channel, 255); // channels 3 and 4
    EXPECT_EQ(song->GetTrack(0)->program, 255); // 6 after the first note
    EXPECT_EQ(song->GetTrack(1)->channel, 255); // aftertouch has no say in the channel
    EXPECT_EQ(DumpRecords(*song), "0 0 note ch=3 key=60 vel=1 rel=0 dur=1 prog=5 bank=-1\n"
                                  "0 0 note ch=4 key=60 vel=1 rel=0 dur=1 prog=0 bank=-1\n"
                                  "0 1 chanat ch=5 val=7\n");
}

TEST(SongLoader, OwnRecordsDeviceOptionsAndAudioCues) {
    TempDir home;
    home.Write("MINE.MDV", "");
    INIFile ini(home.Path());
    INIFile::SetGlobal(&ini);

    const std::string conductor = Text(0, 1, "DEVICE=MINE.MDV") + EndOfTrack();
    const std::string track = Text(0, 6, "VLOPT:1,0,1,1,4,2,30,0.200000,0.100000,0.800000,45,2") +
                              Text(0, 7, "Audio:hello.wav") + Text(0x10, 7, "Audio:") +
                              EndOfTrack();
    const std::string shortOptions =
        Text(0, 6, "VLOPT:1,0,1,1,4,2,30,0.5,0.1,0.8,45") + B({0, 0x90, 60, 1}) + EndOfTrack();
    auto song = Load(Header(1, 3, 96) + TrackChunk(conductor) + TrackChunk(track) +
                         TrackChunk(shortOptions),
                     "/songs/piece.mid");
    ASSERT_TRUE(song);
    EXPECT_EQ(song->DeviceFile().str(), "MINE.MDV");
    EXPECT_TRUE(song->SongMessages().IsEmpty());
    EXPECT_EQ(FormatViewOptions(song->GetTrack(0)->options).str(),
              "VLOPT:1,0,1,1,4,2,30,0.200000,0.100000,0.800000,45,2");
    EXPECT_EQ(FormatViewOptions(song->GetTrack(1)->options).str(),
              FormatViewOptions(ViewOptions()).str());
    // "Audio:" alone names nothing to prepare.
    const std::vector<AString> cues = SongAudioCueFiles(*song);
    ASSERT_EQ(cues.size(), 1u);
    EXPECT_EQ(cues[0].str(), "hello.wav");
    EXPECT_EQ(DumpRecords(*song), "0 0 text type=7 \"Audio:hello.wav\"\n"
                                  "0 1 note ch=0 key=60 vel=1 rel=0 dur=1 prog=0 bank=-1\n"
                                  "16 0 text type=7 \"Audio:\"\n");

    // A device file that is not there leaves the default; the record is not kept.
    auto other = Load(Header(1, 1, 96) + TrackChunk(Text(0, 1, "DEVICE=GONE.MDV") + EndOfTrack()));
    ASSERT_TRUE(other);
    EXPECT_EQ(other->DeviceFile().str(), "GENERAL.MDV");
    EXPECT_EQ(DumpRecords(*other), "");

    INIFile::SetGlobal(nullptr);
}

TEST(SongLoader, TimeCodeFilesPlayAtTheirOwnSpeed) {
    // 25 frames of 40 ticks: 1000 ticks a second. A note one second long.
    auto song = LoadSingle(B({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}) +
                               B({0x00, 0x90, 60, 100, 0x87, 0x68, 0x80, 60, 0}),
                           0xE728);
    ASSERT_TRUE(song);
    EXPECT_EQ(song->TicksPerQuarter(), 1000);
    EXPECT_EQ(song->TempoCount(), 1u);
    EXPECT_EQ(song->FirstTempo(), 1000000); // a quarter note a second; the file's tempo ignored
    EXPECT_EQ(song->Points().Head()->msgs[0]->duration, 1000);
}

TEST(SongLoader, TimesBeyondASongAreRefused) {
    std::string events;
    for (int i = 0; i < 9; ++i)
        events += B({0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 1}); // 2^28 - 1 ticks each
    EXPECT_EQ(LoadSingle(events), nullptr);
}

TEST(SongLoader, TextsEndingInZeroBytesDumpWithoutThemAndControlBytesAsEscapes) {
    const std::string name("Piano right\0", 12);
    const std::string hostile("red \x1b[31m bell \x07 tab\t del\x7f nul\0 end\0\0", 37);
    auto song = Load(
        Header(1, 2, 96) + TrackChunk(Text(0, 3, std::string("Tune\0", 5)) + EndOfTrack()) +
        TrackChunk(Text(0, 3, name) + Text(0, 5, hostile) + B({0, 0x90, 60, 1}) + EndOfTrack()));
    ASSERT_TRUE(song);
    EXPECT_EQ(DumpSong(*song),
              "tpq 96\n"
              "title Tune\n"
              "device GENERAL.MDV\n"
              "tempo 0 500000\n"
              "sig 0 4/4 0 0\n"
              "track 0 channel 0 program 255 bank -1 options "
              "VLOPT:0,1,0,0,1,0,35,0.010000,0.020000,1.300000,30,0\n"
              "0 0 text type=3 \"Piano right\"\n"
              "0 0 text type=5 \"red \\x1b[31m bell \\x07 tab\\t del\\x7f nul\\x00 end\"\n"
              "0 0 note ch=0 key=60 vel=1 rel=0 dur=1 prog=0 bank=-1\n");
    // The bytes themselves stay as they came, to be saved as they came.
    std::string bytes;
    ASSERT_TRUE(MidiWriter::SongBytes(*song, bytes));
    EXPECT_NE(bytes.find(B({0xFF, 0x03, 12}) + name), std::string::npos);
    EXPECT_NE(bytes.find(B({0xFF, 0x03, 5}) + std::string("Tune\0", 5)), std::string::npos);

    // Streamed to a file the dump is the same text.
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(DumpSong(*song, out));
    std::rewind(out);
    std::string streamed;
    for (int c; (c = std::fgetc(out)) != EOF;)
        streamed += static_cast<char>(c);
    std::fclose(out);
    EXPECT_EQ(streamed, DumpSong(*song));
}
