#include <gtest/gtest.h>

#include "edit/CommandProcessor.h"
#include "edit/MC_PasteBlock.h"
#include "midifile/MidiWriter.h"
#include "model/SongDump.h"
#include "model/SongIter.h"
#include "record/VoiceNotesPaste.h"
#include "support/SongBuilder.h"

namespace {

DetectedNote Sung(std::uint32_t startUs, std::uint32_t lengthUs, int note) {
    DetectedNote n;
    n.start = startUs;
    n.length = n.voicedLength = lengthUs;
    n.note = static_cast<std::uint8_t>(note);
    n.velocity = WaveToNotes::kVelocity;
    return n;
}

std::string Bytes(Song& song) {
    std::string bytes, error;
    EXPECT_TRUE(MidiWriter::SongBytes(song, bytes, &error)) << error;
    return bytes;
}

} // namespace

TEST(VoiceNotesPaste, NotesGoInAtTheCursorAtItsTempoAsOneUndoableInsert) {
    // 384 ticks a quarter; from tick 768 on a quarter lasts a second (384 ticks a second).
    auto song = BuildSong("0 n60 384, 768 n62 384, 1536 t1 c1 n64 384");
    song->SetTempo(768, 1000000);
    const std::string before = Bytes(*song);
    const std::string beforeDump = DumpSong(*song);

    SongIter view(*song);
    CommandProcessor commands;
    // Sung half a second in: with the leading rest removed the first note starts at the
    // cursor; the second follows 0.75 s after the first began.
    const std::vector<DetectedNote> notes = {Sung(500000, 500000, 67), Sung(1250000, 250000, 69)};
    auto paste =
        MakeVoiceNotesPaste(view, 1536, notes, kDeleteBeginningRest, NoteDestination{2, 5, 40, 3});
    ASSERT_NE(paste, nullptr);
    commands.Submit(std::move(paste));
    EXPECT_EQ(DumpRecords(*song),
              "0 0 note ch=0 key=60 vel=100 rel=0 dur=384 prog=0 bank=-1\n"
              "768 0 note ch=0 key=62 vel=100 rel=0 dur=384 prog=0 bank=-1\n"
              "1536 2 note ch=5 key=67 vel=96 rel=0 dur=192 prog=40 bank=3\n"
              "1824 2 note ch=5 key=69 vel=96 rel=0 dur=96 prog=40 bank=3\n"
              // The events at and after the cursor move on by the inserted 384 ticks.
              "1920 1 note ch=1 key=64 vel=100 rel=0 dur=384 prog=0 bank=-1\n");

    // Undo gives back the very song; redo inserts the same again.
    const std::string after = Bytes(*song);
    commands.Undo();
    EXPECT_EQ(DumpSong(*song), beforeDump);
    EXPECT_TRUE(Bytes(*song) == before);
    commands.Redo();
    EXPECT_TRUE(Bytes(*song) == after);
}

TEST(VoiceNotesPaste, EveryNoteGoesInEvenOneShorterThanATick) {
    auto song = BuildSong("0 n60 96", 96);
    SongIter view(*song);
    CommandProcessor commands;
    // 100 µs at 120 beats a minute and 96 ticks is a fifth of a tick.
    auto paste =
        MakeVoiceNotesPaste(view, 96, {Sung(0, 100, 72)}, kNoTimeDeletion, NoteDestination{});
    ASSERT_NE(paste, nullptr);
    commands.Submit(std::move(paste));
    EXPECT_EQ(DumpRecords(*song), "0 0 note ch=0 key=60 vel=100 rel=0 dur=96 prog=0 bank=-1\n"
                                  "96 0 note ch=0 key=72 vel=96 rel=0 dur=0 prog=0 bank=-1\n");

    EXPECT_EQ(MakeVoiceNotesPaste(view, 0, {}, kNoTimeDeletion, NoteDestination{}), nullptr);
}
