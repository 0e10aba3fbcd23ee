#pragma once

#include <cstddef>
#include <vector>

#include "record/NoteTracker.h"
#include "record/PitchCandidates.h"
#include "record/WaveToNotes.h"

// The converter's method for singing: pitch candidates frame by frame, joined into
// notes by NoteTracker. Samples arrive in blocks at kAnalysisRate; the notes come out
// in microseconds from the first sample.
class SungNoteFinder {
public:
    static constexpr double kAnalysisRate = 22050.0;
    static constexpr std::size_t kHop = 256;
    static constexpr std::size_t kBlockSamples = 8192;
    // The pitches it follows, whatever the settings say: below the lowest, frames would
    // have to be longer than a sung note's attack; above the highest, no one sings.
    static constexpr int kLowestNote = 33;
    static constexpr int kHighestNote = 96;

    explicit SungNoteFinder(const WaveToNotesParameters& parameters);

    void Push(const float* samples, std::size_t count);
    std::vector<DetectedNote> Finish();
    int VoicedFrames() const { return static_cast<int>(tracker_.VoicedFrames()); }

private:
    void AnalyseReady();
    std::uint32_t FrameMicroseconds(std::size_t frame) const;

    WaveToNotesParameters parameters_;
    PitchCandidates candidates_;
    NoteTracker tracker_;
    std::vector<float> samples_; // from the first sample of the next frame on
    std::size_t frames_ = 0;
};
