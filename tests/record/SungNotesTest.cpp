#include <gtest/gtest.h>

#include <cmath>

#include "WaveBytes.h"
#include "record/NoteTracker.h"
#include "record/PitchCandidates.h"
#include "record/PitchConversions.h"
#include "record/SungNoteFinder.h"
#include "record/WaveToNotes.h"

using namespace wavebytes;

namespace {

// "note@ms+ms" for each note, times rounded to 10 ms.
std::string Show(const std::vector<DetectedNote>& notes) {
    std::string out;
    for (const DetectedNote& n : notes)
        out += std::to_string(n.note) + "@" + std::to_string((n.start + 5000) / 10000 * 10) + "+" +
               std::to_string((n.length + 5000) / 10000 * 10) + " ";
    return out;
}

std::vector<DetectedNote> Sung(const std::vector<std::int16_t>& x) {
    const std::string bytes = Samples(x);
    WaveToNotesParameters p;
    p.method = WaveToNotes::kSungMethod;
    p.samples = reinterpret_cast<const std::uint8_t*>(bytes.data());
    p.sampleBytes = bytes.size();
    std::vector<DetectedNote> notes;
    int voiced = 0;
    WaveToNotes converter;
    EXPECT_EQ(converter.Convert(p, notes, voiced), WaveToNotes::kOk);
    return notes;
}

// Notes and starts (within 30 ms) as expected.
void ExpectNotes(const std::vector<DetectedNote>& notes,
                 const std::vector<std::pair<int, double>>& expected) {
    ASSERT_EQ(notes.size(), expected.size()) << Show(notes);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        EXPECT_EQ(notes[i].note, expected[i].first) << Show(notes);
        EXPECT_NEAR(notes[i].start / 1e6, expected[i].second, 0.03) << Show(notes);
    }
}

PitchFrame Frame(float note, float probability = 0.9f) {
    PitchFrame f;
    f.candidates[0] = {note, probability};
    f.count = 1;
    f.voiced = probability;
    return f;
}

// Frames pushed through a tracker for notes 33 to 96 at 172 frames a second.
std::string Track(const std::vector<std::pair<PitchFrame, int>>& runs) {
    NoteTracker tracker(33, 96, 172.0);
    for (const auto& [frame, count] : runs)
        for (int i = 0; i < count; ++i)
            tracker.Push(frame);
    tracker.Finish();
    std::string out;
    for (const TrackedNote& n : tracker.Notes())
        out += std::to_string(std::lround(n.pitch)) + "@" + std::to_string(n.first) + "-" +
               std::to_string(n.end) + " ";
    return out;
}

} // namespace

TEST(NoteTracker, FollowsAnOctaveJumpButNotAnOctaveSlipOfOneFrame) {
    const PitchFrame a3 = Frame(57.0f);
    const PitchFrame a4 = Frame(69.0f);
    const PitchFrame none = Frame(0.0f, 0.0f);
    EXPECT_EQ(Track({{none, 20}, {a3, 100}, {a4, 1}, {a3, 100}, {none, 20}}), "57@20-221 ");
    // Two frames, then three: still a slip.
    EXPECT_EQ(Track({{none, 20}, {a3, 100}, {a4, 3}, {a3, 100}, {none, 20}}), "57@20-223 ");
    // A jump that lasts a tenth of a second is a note.
    const std::string jump = Track({{none, 20}, {a3, 100}, {a4, 20}, {none, 20}});
    EXPECT_EQ(jump.substr(0, 4), "57@2") << jump;
    EXPECT_NE(jump.find(" 69@1"), std::string::npos) << jump;
}

TEST(NoteTracker, WeakOrScatteredFramesMakeNoNote) {
    // Candidates that wander at random, as noise gives them.
    std::vector<std::pair<PitchFrame, int>> noise;
    unsigned seed = 1;
    for (int i = 0; i < 1000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise.push_back({Frame(40.0f + static_cast<float>(seed % 5000) / 100.0f, 0.3f), 1});
    }
    EXPECT_EQ(Track(noise), "");
    // A steady pitch that the front end hardly believes in.
    EXPECT_EQ(Track({{Frame(60.0f, 0.05f), 400}}), "");
}

TEST(SungNotes, AVibratoNoteIsOneNoteAndAGlideBetweenTwoIsTwo) {
    ExpectNotes(Sung(Sing(Contour().Rest(0.2).Hold(64, 1.0, 50).Rest(0.3))), {{64, 0.2}});
    ExpectNotes(Sung(Sing(Contour().Rest(0.2).Hold(55, 0.8, 80).Rest(0.3))), {{55, 0.2}});
    // Slides up and down between notes held with vibrato.
    ExpectNotes(Sung(Sing(Contour()
                              .Rest(0.2)
                              .Hold(60, 0.5, 40)
                              .Glide(64, 0.12)
                              .Hold(64, 0.5, 40)
                              .Glide(59, 0.1)
                              .Hold(59, 0.5, 40)
                              .Rest(0.3))),
                {{60, 0.2}, {64, 0.76}, {59, 1.34}});
}

TEST(SungNotes, FollowsOctaveJumpsAndRepeatedNotesAcrossTheVoiceRange) {
    // Bass, then a soprano's high notes, then the same note twice after a breath.
    ExpectNotes(Sung(Sing(Contour()
                              .Rest(0.2)
                              .Hold(41, 0.5)
                              .Hold(53, 0.5)
                              .Rest(0.2)
                              .Hold(84, 0.4)
                              .Hold(72, 0.4)
                              .Rest(0.15)
                              .Hold(72, 0.4)
                              .Rest(0.2))),
                {{41, 0.2}, {53, 0.7}, {84, 1.4}, {72, 1.8}, {72, 2.35}});
}

TEST(SungNotes, NotesStayFoundInNoiseAndABreathBeforeANoteDoesNotMoveIt) {
    const auto line = Sing(Contour().Rest(0.3).Hold(62, 0.6, 30).Rest(0.2).Hold(67, 0.6, 30));
    // 20 dB below the tone.
    ExpectNotes(Sung(Mix(line, Noise(Colour::White, 2.0, 600))), {{62, 0.3}, {67, 1.1}});
    ExpectNotes(Sung(Mix(line, Noise(Colour::Pink, 2.0, 600))), {{62, 0.3}, {67, 1.1}});
    // A breath of noise just before the second note.
    auto breath = Silence(0.95);
    Append(breath, Noise(Colour::White, 0.15, 1500));
    ExpectNotes(Sung(Mix(line, breath)), {{62, 0.3}, {67, 1.1}});
}
