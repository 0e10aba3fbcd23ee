#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "record/PitchCandidates.h"

// A note as frames: [first, end) and its pitch, the median of the frames' pitches.
struct TrackedNote {
    std::size_t first = 0;
    std::size_t end = 0;
    float pitch = 0.0f;
};

// Joins frames of pitch candidates into notes with a hidden Markov model, after the
// note-tracking model published for sung melodies: every pitch of a grid a third of a
// semitone apart has an attack, a stable and a silent state. A note starts in its attack,
// where its pitch may still glide, settles in its stable state, which vibrato does not
// leave, and either ends in silence or passes straight to another note's attack. The
// most probable path is found frame by frame (Viterbi) and decided a fixed stretch of
// frames behind the newest, so that memory does not grow with the recording.
class NoteTracker {
public:
    // Pitches in MIDI notes.
    NoteTracker(double lowNote, double highNote, double framesPerSecond);

    void Push(const PitchFrame& frame);
    // Decides the frames still open; the notes are then complete.
    void Finish();

    const std::vector<TrackedNote>& Notes() const { return notes_; }
    std::size_t VoicedFrames() const { return voicedFrames_; }

private:
    enum Kind : std::uint8_t { kAttack = 0, kStable = 1, kSilent = 2 };
    std::size_t State(Kind kind, std::size_t pitch) const { return kind * pitches_ + pitch; }
    void Observe(const PitchFrame& frame);
    void Step();
    void Decide(std::size_t frame, std::uint16_t state);
    void CloseNote();

    double lowNote_;
    std::size_t pitches_;
    std::size_t lag_; // frames between the newest and the one decided
    // Log transition probabilities.
    float stayAttack_, settle_, stayStable_, end_, change_, staySilent_, start_;
    std::vector<float> afterRest_;   // by interval in grid steps, offset by pitches_ - 1
    std::vector<float> afterLegato_; // the same, for a note following without a rest

    std::vector<float> score_, next_;
    std::vector<float> observeNote_, observeAttack_;
    float observeSilent_ = 0.0f;
    std::vector<std::uint16_t> back_; // lag_ frames of back pointers, a ring
    std::vector<PitchFrame> frames_;  // the same frames' candidates
    std::size_t frameCount_ = 0;
    std::size_t decided_ = 0;

    std::vector<TrackedNote> notes_;
    bool inNote_ = false;
    std::size_t notePitch_ = 0;
    Kind lastKind_ = kSilent;
    std::vector<float> notePitches_;
    std::size_t voicedFrames_ = 0;
};
