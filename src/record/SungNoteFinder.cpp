#include "record/SungNoteFinder.h"

#include <algorithm>
#include <cmath>

#include "record/PitchConversions.h"

namespace {

int LowNote(const WaveToNotesParameters& p) {
    return std::clamp(std::min(p.lowPitch, p.highPitch - 1), SungNoteFinder::kLowestNote,
                      SungNoteFinder::kHighestNote - 1);
}

int HighNote(const WaveToNotesParameters& p) {
    return std::clamp(std::max(p.highPitch, LowNote(p) + 1), LowNote(p) + 1,
                      SungNoteFinder::kHighestNote);
}

// The noise threshold is a peak-to-peak swing in 16-bit units; the tracker wants it in
// full scale 2, and lower, since it judges a frame by its periodicity, not its loudness,
// and a soft onset is still part of the note.
// Shorter notes are the seams between sung notes: a consonant, a change of vowel, the
// moment one note's tail and the next one's attack sound together.
constexpr std::uint32_t kShortestNote = 100000;

double MinSwing(long minVolume) {
    return std::max(0L, minVolume) / 32768.0 / 4.0;
}

} // namespace

SungNoteFinder::SungNoteFinder(const WaveToNotesParameters& parameters)
    : parameters_(parameters),
      candidates_(kAnalysisRate, FrequencyOfNote(LowNote(parameters) - 0.5),
                  FrequencyOfNote(HighNote(parameters) + 0.5), MinSwing(parameters.minVolume)),
      tracker_(LowNote(parameters), HighNote(parameters), kAnalysisRate / kHop) {}

void SungNoteFinder::Push(const float* samples, std::size_t count) {
    samples_.insert(samples_.end(), samples, samples + count);
    AnalyseReady();
}

void SungNoteFinder::AnalyseReady() {
    const std::size_t need = candidates_.FrameSamples();
    std::size_t at = 0;
    PitchFrame frame;
    for (; at + need <= samples_.size(); at += kHop) {
        candidates_.Analyse(samples_.data() + at, frame);
        tracker_.Push(frame);
        ++frames_;
    }
    samples_.erase(samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(at));
}

std::uint32_t SungNoteFinder::FrameMicroseconds(std::size_t frame) const {
    // A frame is dated a fifth of the way into what it reads: a note that begins there
    // already rules it. (On the bench, onsets come out 2 ms late on the median.)
    const double centre =
        static_cast<double>(frame * kHop) + 0.2 * static_cast<double>(candidates_.FrameSamples());
    return static_cast<std::uint32_t>(std::min(centre / kAnalysisRate * 1e6, 4294967295.0));
}

std::vector<DetectedNote> SungNoteFinder::Finish() {
    // Silence after the end lets the last frames of the recording be analysed too.
    samples_.resize(samples_.size() + candidates_.FrameSamples(), 0.0f);
    AnalyseReady();
    tracker_.Finish();

    std::vector<DetectedNote> notes;
    for (const TrackedNote& t : tracker_.Notes()) {
        DetectedNote n;
        n.start = FrameMicroseconds(t.first);
        n.length = FrameMicroseconds(t.end) - n.start;
        n.voicedLength = n.length;
        n.velocity = WaveToNotes::kVelocity;
        n.note = static_cast<std::uint8_t>(std::clamp(std::lround(t.pitch), 0L, 127L));
        if (n.voicedLength < std::max(parameters_.minInNoteMicroseconds, kShortestNote))
            continue;
        // A note that only moved within its semitone goes on.
        if (!notes.empty() && notes.back().note == n.note &&
            notes.back().start + notes.back().length == n.start) {
            notes.back().length += n.length;
            notes.back().voicedLength += n.voicedLength;
            continue;
        }
        if (notes.size() == WaveToNotes::kMaxNotes)
            break;
        notes.push_back(n);
    }
    return notes;
}
