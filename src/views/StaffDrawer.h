#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "views/DrawSurface.h"
#include "views/MeasureDrawInfo.h"

struct StaffRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// What the caller wants of one measure besides the notation itself.
struct StaffDrawRequest {
    std::int32_t systemTop = 0;
    bool drawHeader = false;          // clef (and key and time signature) at a line start
    std::int32_t fromTick = 0;        // ticks into the measure the caller shows it from
    std::int32_t gridStep = 0;        // note-placement grid in ticks, 0 none
    std::int32_t selectionStart = -1; // absolute ticks, both ends included; -1 none
    std::int32_t selectionEnd = -1;
    std::int32_t currentTime = -1; // current note: time in measure and message index
    std::int32_t currentIndex = -1;
    // Called for every drawn note that has a source message: head rectangle, absolute
    // tick, message index.
    std::function<void(const StaffRect&, std::int32_t, std::int32_t)> notePosition;
    std::int32_t forcedWidth = -1; // whole measure width, -1 for the width of its notes
};

struct StaffDrawResult {
    std::int32_t noteAreaX = 0;
    std::int32_t fromTickX = 0;
    bool currentFound = false;
    std::int32_t currentX = 0; // relative to the note area
    std::int32_t currentY = 0;
    std::int32_t currentHeadCode = 0;
};

// Draws measures laid out by StaffArranger. Geometry is designed in units and scaled to
// device units (truncated); a line space is 80 units.
class StaffDrawer {
public:
    static constexpr std::int32_t kLeftGap = 160;
    static constexpr std::int32_t kClefX = 220;
    static constexpr std::int32_t kHeaderWidth = 550;
    static constexpr std::int32_t kTimeSigWidth = 320;
    static constexpr std::size_t kLyricRows = 5;

    // The surface is used for glyph metrics only.
    StaffDrawer(DrawSurface& fontSurface, double xScale, double yScale);

    // Draws at `x` and moves it past the measure's bar line.
    void DrawMeasure(DrawSurface& surface, std::int32_t& x, const MeasureDrawInfo& measure,
                     const StaffDrawRequest& request, StaffDrawResult& result);
    void ClearLyricRows();
    // A note head drawn again in `color` over the one at (x, y), as DrawMeasure reported
    // it; the view marks its current note so.
    void DrawHead(DrawSurface& surface, std::int32_t x, std::int32_t y, std::int32_t headCode,
                  SurfaceColor color) const;

    double XScale() const { return xScale_; }
    double YScale() const { return yScale_; }
    std::int32_t ScaleX(double units) const { return static_cast<std::int32_t>(units * xScale_); }
    std::int32_t ScaleY(double units) const { return static_cast<std::int32_t>(units * yScale_); }
    // The height of a staff system (4000 units); position p lies p/100 of it down.
    std::int32_t SystemHeight() const { return height_; }
    std::int32_t PositionY(std::int32_t position, std::int32_t systemTop) const {
        return position * height_ / 100 + systemTop;
    }
    std::int32_t NoteAreaWidth(std::int32_t shortestType) const;
    std::int32_t HeadWidth(std::int32_t headCode) const;

    const SurfaceFont& SmallFont() const { return small_; }
    const SurfaceFont& LargeFont() const { return large_; }
    const SurfaceFont& NumberFont() const { return number_; }
    const SurfaceFont& TimeSigFont() const { return timeSig_; }
    const SurfaceFont& TextFont() const { return text_; }

private:
    struct Context;
    struct TieAnchor {
        std::int32_t x = 0, y = 0;
        std::int32_t measure = -1;
        std::int32_t systemTop = 0;
    };
    struct BeamEnd {
        std::int16_t id;
        std::int32_t x, y;
    };

    std::int32_t DrawHeader(Context& c, std::int32_t x);
    void DrawNote(Context& c, const NoteDrawItem& note);
    void DrawStemAndBeams(Context& c, const NoteDrawItem& note, std::int32_t headX, std::int32_t y);
    void DrawTie(Context& c, const NoteDrawItem& note, std::int32_t headX, std::int32_t y);
    void DrawRest(Context& c, const RestDrawItem& rest);
    void DrawText(Context& c, const TextDrawItem& text);
    void DrawSymbol(Context& c, const SymbolDrawItem& symbol);
    void Line(DrawSurface& s, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);

    double xScale_;
    double yScale_;
    std::int32_t height_;
    SurfaceFont small_, large_, number_, timeSig_, text_;
    std::array<std::int32_t, 5> headWidth_{};
    std::int32_t tripletWidth_ = 0;
    std::array<std::int32_t, kLyricRows> lyricRight_{};
    std::vector<TieAnchor> anchors_;
    std::vector<BeamEnd> beamEnds_;
};
