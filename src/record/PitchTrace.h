#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "record/DetectFrequency.h"

// What the live pitch display draws while a take is recorded, in the pixels of its frame:
// one semitone per 20 pixels upwards, 50 pixels per second of sound to the right. The
// rows follow the singer: the display centres on the note being held and keeps that
// centre while the voice stays well inside the visible rows. Knows nothing of painting.
class PitchTrace {
public:
    static constexpr int kPixelsPerSemitone = 20;
    static constexpr int kPixelsPerSecond = 50;
    static constexpr double kSampleRate = 44100.0;
    static constexpr int kDefaultCentre = 65;
    // A note counts as held once the voice stays this close to it for this long
    // (a sixteenth of a second).
    static constexpr double kHoldRange = 3.0;
    static constexpr std::uint64_t kHoldSamples = 2757;
    // The held note may come this many rows near an edge before the rows move.
    static constexpr int kEdgeRows = 2;
    // A step larger than this (in pixels) is a leap, not a slide: the line breaks.
    static constexpr int kMaxStep = 49;
    static constexpr std::size_t kMaxFrames = 2000;

    struct Point {
        int x = 0;
        int y = 0;
    };
    struct Row {
        int y = 0;
        int note = 0;
        bool light = false; // light grey, else grey
    };
    struct Label {
        int y = 0;
        std::string text;
    };

    PitchTrace(int width, int height);
    void Resize(int width, int height);

    // Takes one more analysed frame; false once the display holds all it keeps. Frames
    // without pitch in a row are kept as one run.
    bool Add(const FrequencyAnalysisSegment& frame);
    std::size_t FrameCount() const { return frames_.size(); }
    // Sound analysed so far.
    double AnalysedMilliseconds() const;

    // The note held most recently, if the voice held one.
    std::optional<int> HeldNote() const;
    // The note drawn in the middle of the frame.
    int Centre() const { return centre_; }
    // How often the centre moved; the labels change with it.
    int CentreMoves() const { return centreMoves_; }

    // One line per semitone that fits in the frame, alternately light grey and grey, and
    // its label at the left.
    std::vector<Row> Rows() const;
    std::vector<Label> Labels() const;
    // The red lines through the voiced frames, newest sound at the right once the trace
    // is wider than the frame. An unvoiced frame or a leap starts a new line.
    std::vector<std::vector<Point>> Lines() const;
    // The pixel row of a (fractional) note for the present centre.
    int YOfPitch(double pitch) const;

    // The line under the display.
    static std::string StatusLine(std::int64_t elapsedMs, std::int64_t analysedMs);

private:
    struct Frame {
        double pitch = 0.0;       // 0 when unvoiced
        std::uint64_t length = 0; // samples; a run of unvoiced frames adds up
    };
    void Follow();

    int width_;
    int height_;
    int centre_ = kDefaultCentre;
    int centreMoves_ = 0;
    std::uint64_t samples_ = 0;
    std::vector<Frame> frames_;
};
