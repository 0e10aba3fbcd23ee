#include <gtest/gtest.h>

#include "record/PitchConversions.h"
#include "record/WaveToNotes.h"

namespace {

// At a rate of a million samples per second a frame's length reads in microseconds.
constexpr double kRate = 1000000.0;

FrequencyAnalysisSegment V(double note, std::uint32_t us = 10000) {
    FrequencyAnalysisSegment f;
    f.frequency = FrequencyOfNote(note);
    f.candidateCount = 1;
    f.length = us;
    return f;
}

FrequencyAnalysisSegment U(std::uint32_t us) {
    FrequencyAnalysisSegment f;
    f.length = us;
    return f;
}

std::vector<DetectedNote> Notes(
    const std::vector<FrequencyAnalysisSegment>& frames, const WaveToNotesParameters& p = [] {
        WaveToNotesParameters none;
        none.minInNoteMicroseconds = 0;
        return none;
    }()) {
    return WaveToNotes::Segment(frames.data(), frames.size(), kRate, p);
}

// "note@start+length/voiced" for each note.
std::string Show(const std::vector<DetectedNote>& notes) {
    std::string out;
    for (const DetectedNote& n : notes)
        out += std::to_string(n.note) + "@" + std::to_string(n.start) + "+" +
               std::to_string(n.length) + "/" + std::to_string(n.voicedLength) + " ";
    return out;
}

} // namespace

TEST(Segmentation, OctaveJumpsFoldIntoTheNoteAndTheHistogramDecidesItsOctave) {
    // Three frames an octave up tie with the three below: the tie keeps the octave.
    EXPECT_EQ(Show(Notes({V(60), V(60), V(60), V(72), V(72), V(72)})), "60@0+60000/60000 ");
    // One more, and the upper octave holds the most frames.
    EXPECT_EQ(Show(Notes({V(60), V(60), V(60), V(72), V(72), V(72), V(72)})), "72@0+70000/70000 ");
    // Two octaves down, after folding, still joins; a tie with a lower bin goes down,
    // the first bin with the highest count being the lower one.
    EXPECT_EQ(Show(Notes({V(60), V(36)})), "36@0+20000/20000 ");
    EXPECT_EQ(Show(Notes({V(60), V(60), V(36)})), "60@0+30000/30000 ");
    // A step of a semitone is a new note; a folded interval of a semitone is too.
    EXPECT_EQ(Show(Notes({V(60), V(61)})), "60@0+10000/10000 61@10000+10000/10000 ");
    EXPECT_EQ(Show(Notes({V(60), V(73)})), "60@0+10000/10000 73@10000+10000/10000 ");
    // The note follows the rounded running average of the folded pitches.
    EXPECT_EQ(Show(Notes({V(60), V(60.7), V(60.7), V(60.7)})), "61@0+40000/40000 ");
    EXPECT_EQ(Show(Notes({V(60), V(60.7)})), "60@0+20000/20000 ");
    EXPECT_EQ(Show(Notes({V(60), V(72.7)})), "60@0+20000/20000 ");
}

TEST(Segmentation, SilencesLengthenEndOrRejoinNotesByTheTwoLimits) {
    // Shorter than "blank max": the note grows over it.
    EXPECT_EQ(Show(Notes({V(60), U(15624), V(60)})), "60@0+35624/20000 ");
    // As long as the limit: the note ends, and the gap is too long to skip.
    EXPECT_EQ(Show(Notes({V(60), U(15625), V(60)})), "60@0+10000/10000 60@25625+10000/10000 ");
    // Silence before the first note only moves the start.
    EXPECT_EQ(Show(Notes({U(5000), U(50000), V(62)})), "62@55000+10000/10000 ");

    WaveToNotesParameters p;
    p.minInNoteMicroseconds = 0;
    p.skipBlankToAppend = 30000;
    // A gap shorter than "skip blank" is bridged when the pitch continues...
    EXPECT_EQ(Show(Notes({V(60), U(20000), V(60)}, p)), "60@0+40000/20000 ");
    // ...an octave up too, after folding...
    EXPECT_EQ(Show(Notes({V(60), U(20000), V(72)}, p)), "60@0+40000/20000 ");
    // ...but not at another pitch or after a longer gap.
    EXPECT_EQ(Show(Notes({V(60), U(20000), V(64)}, p)), "60@0+10000/10000 64@30000+10000/10000 ");
    EXPECT_EQ(Show(Notes({V(60), U(30000), V(60)}, p)), "60@0+10000/10000 60@40000+10000/10000 ");
}

TEST(Segmentation, NotesVoicedForLessThanTheMinimumAreDropped) {
    const std::vector<FrequencyAnalysisSegment> frames = {V(60, 20000), U(50000), V(64, 31250),
                                                          U(50000), V(67, 31249)};
    WaveToNotesParameters p; // a sixty-fourth note at 120 beats per minute
    EXPECT_EQ(Show(Notes(frames, p)), "64@70000+31250/31250 ");
    p.minInNoteDivisor = 0.0; // "None"
    p.SetTempo(500000);
    EXPECT_EQ(Notes(frames, p).size(), 3u);
    // Voiced time counts, not length: a note stretched by silences is still short.
    p.minInNoteMicroseconds = 25000;
    EXPECT_EQ(Show(Notes({V(60, 20000), U(15000), U(0)}, p)), "");
}

TEST(Segmentation, PitchesBeyondTheMidiRangeStayInIt) {
    // Only odd settings reach these; the note number must still be a MIDI note.
    const auto notes = Notes({V(130), V(-5)});
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].note, 118);
    EXPECT_EQ(notes[1].note, 8); // -5 rounds to -4
}
