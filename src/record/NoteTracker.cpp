#include "record/NoteTracker.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kStepsPerSemitone = 3;
// Seconds of frames kept open before the path through them is decided.
constexpr double kDecisionDelay = 1.5;

// How far a frame's pitch may wander from its note: vibrato in a stable note, a scoop
// into the attack. Semitones.
constexpr double kStableSpread = 0.8;
constexpr double kAttackSpread = 1.6;
// A floor under every likelihood, so that one odd frame cannot force a path.
constexpr double kFloor = 1e-3;
// A candidate an octave away lends its note this share: in a mixture, or with a weak
// fundamental, the period found is often twice or half the sung one.
constexpr double kOctaveShare = 0.5;

// Expected lengths in seconds, and how often a note hands on to another without a rest.
constexpr double kAttackSeconds = 0.03;
constexpr double kNoteSeconds = 0.6;
constexpr double kRestSeconds = 0.3;
constexpr double kLegatoShare = 0.3;
// Intervals between neighbouring notes spread this far (semitones); every interval keeps
// a small chance.
constexpr double kIntervalSpread = 5.0;
constexpr double kAnyInterval = 0.05;

constexpr float kImpossible = -std::numeric_limits<float>::infinity();

float Log(double p) {
    return p > 0.0 ? static_cast<float>(std::log(p)) : kImpossible;
}

// Log probabilities of each interval in grid steps, normalised; intervals below
// `shortest` steps are impossible.
std::vector<float> IntervalTable(std::size_t pitches, double shortest) {
    const long span = static_cast<long>(pitches) - 1;
    std::vector<double> p(2 * pitches - 1);
    double total = 0.0;
    for (long d = -span; d <= span; ++d) {
        const double semitones = static_cast<double>(d) / kStepsPerSemitone;
        double w = 0.0;
        if (std::fabs(static_cast<double>(d)) >= shortest)
            w = std::exp(-0.5 * semitones * semitones / (kIntervalSpread * kIntervalSpread)) +
                kAnyInterval;
        p[static_cast<std::size_t>(d + span)] = w;
        total += w;
    }
    std::vector<float> out(p.size());
    for (std::size_t i = 0; i < p.size(); ++i)
        out[i] = Log(p[i] / total);
    return out;
}

} // namespace

NoteTracker::NoteTracker(double lowNote, double highNote, double framesPerSecond)
    : lowNote_(lowNote) {
    pitches_ = static_cast<std::size_t>(std::lround((highNote - lowNote) * kStepsPerSemitone)) + 1;
    lag_ = std::max<std::size_t>(2, static_cast<std::size_t>(kDecisionDelay * framesPerSecond));
    const double attackEnd = 1.0 / (kAttackSeconds * framesPerSecond);
    const double noteEnd = 1.0 / (kNoteSeconds * framesPerSecond);
    const double restEnd = 1.0 / (kRestSeconds * framesPerSecond);
    stayAttack_ = Log(1.0 - attackEnd);
    settle_ = Log(attackEnd);
    stayStable_ = Log(1.0 - noteEnd);
    end_ = Log(noteEnd * (1.0 - kLegatoShare));
    change_ = Log(noteEnd * kLegatoShare);
    staySilent_ = Log(1.0 - restEnd);
    start_ = Log(restEnd);
    afterRest_ = IntervalTable(pitches_, 0.0);
    afterLegato_ = IntervalTable(pitches_, kStepsPerSemitone / 2.0);

    const std::size_t states = 3 * pitches_;
    score_.assign(states, kImpossible);
    for (std::size_t p = 0; p < pitches_; ++p)
        score_[State(kSilent, p)] = 0.0f;
    next_.resize(states);
    observeNote_.resize(pitches_);
    observeAttack_.resize(pitches_);
    back_.resize(lag_ * states);
    frames_.resize(lag_);
}

void NoteTracker::Observe(const PitchFrame& frame) {
    const double stable = -0.5 / (kStableSpread * kStableSpread);
    const double attack = -0.5 / (kAttackSpread * kAttackSpread);
    const double reach = 3.0 * kAttackSpread;
    for (std::size_t p = 0; p < pitches_; ++p) {
        const double note = lowNote_ + static_cast<double>(p) / kStepsPerSemitone;
        double s = kFloor;
        double a = kFloor;
        for (int c = 0; c < frame.count; ++c) {
            const double weight = frame.candidates[c].probability;
            const double d = frame.candidates[c].note - note;
            if (std::fabs(d) < reach) {
                s += weight * std::exp(stable * d * d);
                a += weight * std::exp(attack * d * d);
            }
            for (const double octave : {d - 12.0, d + 12.0})
                if (std::fabs(octave) < reach)
                    s += kOctaveShare * weight * std::exp(stable * octave * octave);
        }
        observeNote_[p] = static_cast<float>(std::log(s));
        observeAttack_[p] = static_cast<float>(std::log(a));
    }
    observeSilent_ = static_cast<float>(std::log(kFloor + std::max(0.0f, 1.0f - frame.voiced)));
}

void NoteTracker::Step() {
    const std::size_t n = pitches_;
    std::uint16_t* back = &back_[(frameCount_ % lag_) * 3 * n];
    const long span = static_cast<long>(n) - 1;
    for (std::size_t q = 0; q < n; ++q) {
        // Attack of q: its own attack going on, a rest ending or a note handing on.
        float best = score_[State(kAttack, q)] + stayAttack_;
        std::size_t from = State(kAttack, q);
        const float* rest = &afterRest_[static_cast<std::size_t>(span - static_cast<long>(q))];
        const float* legato = &afterLegato_[static_cast<std::size_t>(span - static_cast<long>(q))];
        const float* silent = &score_[State(kSilent, 0)];
        const float* stable = &score_[State(kStable, 0)];
        for (std::size_t p = 0; p < n; ++p) {
            // The tables are symmetric: rest[p] serves for the interval q - p.
            const float viaRest = silent[p] + start_ + rest[p];
            const float viaLegato = stable[p] + change_ + legato[p];
            if (viaRest > best) {
                best = viaRest;
                from = State(kSilent, p);
            }
            if (viaLegato > best) {
                best = viaLegato;
                from = State(kStable, p);
            }
        }
        next_[State(kAttack, q)] = best + observeAttack_[q];
        back[State(kAttack, q)] = static_cast<std::uint16_t>(from);

        const float settled = score_[State(kAttack, q)] + settle_;
        const float held = score_[State(kStable, q)] + stayStable_;
        next_[State(kStable, q)] = std::max(settled, held) + observeNote_[q];
        back[State(kStable, q)] =
            static_cast<std::uint16_t>(held >= settled ? State(kStable, q) : State(kAttack, q));

        const float ended = score_[State(kStable, q)] + end_;
        const float resting = score_[State(kSilent, q)] + staySilent_;
        next_[State(kSilent, q)] = std::max(ended, resting) + observeSilent_;
        back[State(kSilent, q)] =
            static_cast<std::uint16_t>(resting >= ended ? State(kSilent, q) : State(kStable, q));
    }
    // Scores are kept relative to the best, so that long recordings lose no precision.
    const float top = *std::max_element(next_.begin(), next_.end());
    for (float& s : next_)
        s -= top;
    score_.swap(next_);
}

void NoteTracker::Push(const PitchFrame& frame) {
    Observe(frame);
    Step();
    frames_[frameCount_ % lag_] = frame;
    ++frameCount_;
    if (frameCount_ < lag_)
        return;
    // Follow the best path back to the oldest open frame and decide it.
    std::size_t state =
        static_cast<std::size_t>(std::max_element(score_.begin(), score_.end()) - score_.begin());
    for (std::size_t f = frameCount_ - 1; f > decided_; --f)
        state = back_[(f % lag_) * 3 * pitches_ + state];
    Decide(decided_, static_cast<std::uint16_t>(state));
}

void NoteTracker::Finish() {
    if (frameCount_ > decided_) {
        std::vector<std::uint16_t> path(frameCount_ - decided_);
        std::size_t state = static_cast<std::size_t>(
            std::max_element(score_.begin(), score_.end()) - score_.begin());
        for (std::size_t f = frameCount_; f-- > decided_;) {
            path[f - decided_] = static_cast<std::uint16_t>(state);
            state = back_[(f % lag_) * 3 * pitches_ + state];
        }
        for (std::uint16_t s : path)
            Decide(decided_, s);
    }
    CloseNote();
}

void NoteTracker::Decide(std::size_t frame, std::uint16_t state) {
    const Kind kind = static_cast<Kind>(state / pitches_);
    const std::size_t pitch = state % pitches_;
    if (kind == kSilent) {
        CloseNote();
    } else {
        // A new attack, or a pitch that changed without one, begins a note.
        if (!inNote_ || pitch != notePitch_ || (kind == kAttack && lastKind_ == kStable)) {
            CloseNote();
            inNote_ = true;
            notePitch_ = pitch;
            notes_.push_back({frame, frame, 0.0f});
        }
        ++voicedFrames_;
        notes_.back().end = frame + 1;
        // The frame's candidate nearest the note stands for its pitch.
        const PitchFrame& f = frames_[frame % lag_];
        const float grid =
            static_cast<float>(lowNote_ + static_cast<double>(pitch) / kStepsPerSemitone);
        float nearest = grid;
        float distance = 1.0f;
        for (int c = 0; c < f.count; ++c)
            if (std::fabs(f.candidates[c].note - grid) < distance) {
                distance = std::fabs(f.candidates[c].note - grid);
                nearest = f.candidates[c].note;
            }
        notePitches_.push_back(nearest);
    }
    lastKind_ = kind;
    decided_ = frame + 1;
}

void NoteTracker::CloseNote() {
    if (inNote_ && !notePitches_.empty()) {
        auto middle = notePitches_.begin() + static_cast<std::ptrdiff_t>(notePitches_.size() / 2);
        std::nth_element(notePitches_.begin(), middle, notePitches_.end());
        notes_.back().pitch = *middle;
    }
    inNote_ = false;
    notePitches_.clear();
}
