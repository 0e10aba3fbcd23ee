#include "record/PitchTrace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "record/PitchConversions.h"

namespace {

constexpr int kLowestNote = 0;
constexpr int kHighestNote = 127;

} // namespace

PitchTrace::PitchTrace(int width, int height) : width_(width), height_(height) {}

void PitchTrace::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    Follow();
}

bool PitchTrace::Add(const FrequencyAnalysisSegment& frame) {
    Frame f;
    f.length = frame.length;
    if (frame.candidateCount > 0 && frame.frequency > 0.0 && std::isfinite(frame.frequency))
        f.pitch = FractionalNote(frame.frequency);
    // A frequency too low for any note counts as no pitch, as nothing could be drawn.
    if (f.pitch <= 0.0)
        f.pitch = 0.0;
    // The recorder reports silence in short stretches, thousands a second; one run of
    // them takes one place, or a second of silence would fill the display.
    if (f.pitch == 0.0 && !frames_.empty() && frames_.back().pitch == 0.0) {
        frames_.back().length += f.length;
        samples_ += f.length;
        return true;
    }
    if (frames_.size() >= kMaxFrames)
        return false;
    frames_.push_back(f);
    samples_ += frame.length;
    Follow();
    return true;
}

double PitchTrace::AnalysedMilliseconds() const {
    return static_cast<double>(samples_) * 1000.0 / kSampleRate;
}

std::optional<int> PitchTrace::HeldNote() const {
    // Walking back: each stretch of voiced frames near the rounded pitch of its newest
    // frame; the first one long enough wins.
    std::size_t i = frames_.size();
    while (i > 0) {
        --i;
        if (frames_[i].pitch <= 0.0)
            continue;
        const int note = static_cast<int>(std::lround(frames_[i].pitch));
        std::uint64_t held = 0;
        std::size_t j = i + 1;
        while (j > 0 && frames_[j - 1].pitch > 0.0 &&
               std::fabs(frames_[j - 1].pitch - note) <= kHoldRange) {
            held += frames_[j - 1].length;
            --j;
            if (held >= kHoldSamples)
                return note;
        }
        // The frame that ended this stretch may begin the next one.
        i = j;
    }
    return std::nullopt;
}

void PitchTrace::Follow() {
    const std::optional<int> held = HeldNote();
    int centre = centre_;
    if (!held) {
        centre = kDefaultCentre;
    } else {
        const int half = height_ / kPixelsPerSemitone / 2;
        if (std::abs(*held - centre_) > half - kEdgeRows)
            centre = *held;
    }
    if (centre != centre_) {
        centre_ = centre;
        ++centreMoves_;
    }
}

int PitchTrace::YOfPitch(double pitch) const {
    return static_cast<int>(
        std::lround(height_ / 2.0 - (pitch - centre_) * static_cast<double>(kPixelsPerSemitone)));
}

std::vector<PitchTrace::Row> PitchTrace::Rows() const {
    std::vector<Row> rows;
    const int half = height_ / kPixelsPerSemitone / 2 + 1;
    for (int note = std::min(centre_ + half, kHighestNote);
         note >= std::max(centre_ - half, kLowestNote); --note) {
        const int y = YOfPitch(note);
        if (y < 0 || y >= height_)
            continue;
        rows.push_back(Row{y, note, note % 2 == 0});
    }
    return rows;
}

std::vector<PitchTrace::Label> PitchTrace::Labels() const {
    std::vector<Label> labels;
    for (const Row& row : Rows())
        labels.push_back(Label{row.y, "   " + NoteName(row.note)});
    return labels;
}

std::vector<std::vector<PitchTrace::Point>> PitchTrace::Lines() const {
    // Pixels are counted from the start of the take; the newest sound stays in view.
    const double total = static_cast<double>(samples_) * kPixelsPerSecond / kSampleRate;
    const double offset = std::max(0.0, total - width_);
    std::vector<std::vector<Point>> lines;
    std::vector<Point> line;
    auto close = [&] {
        if (line.size() > 1 && line.back().x >= 0)
            lines.push_back(line);
        line.clear();
    };
    std::uint64_t at = 0;
    for (const Frame& frame : frames_) {
        const double x = static_cast<double>(at) * kPixelsPerSecond / kSampleRate - offset;
        at += frame.length;
        if (frame.pitch <= 0.0) {
            close();
            continue;
        }
        const Point p{static_cast<int>(std::lround(x)), YOfPitch(frame.pitch)};
        if (!line.empty() && std::abs(p.y - line.back().y) > kMaxStep)
            close();
        line.push_back(p);
    }
    close();
    return lines;
}

std::string PitchTrace::StatusLine(std::int64_t elapsedMs, std::int64_t analysedMs) {
    // A file played in faster than real time is analysed ahead of the clock; the
    // analysis is then not behind at all.
    const double delay = std::max<std::int64_t>(elapsedMs - analysedMs, 0) * 0.001;
    const double kilobytes = std::max<std::int64_t>(elapsedMs, 0) * 0.001 * kSampleRate * 2 / 1024;
    char text[96];
    std::snprintf(text, sizeof text, "Processing Delay: %3.1f seconds     Wave File Size: %d KB",
                  delay, static_cast<int>(kilobytes));
    return text;
}
