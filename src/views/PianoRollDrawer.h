#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/ViewOptions.h"
#include "views/DrawSurface.h"

class Song;
class ViewFilter;

// Draws notes as bars on a grid whose rows are the keys of a piano (pitch 131 at the top
// down to 0) and whose columns are time, with the keyboard along the left edge; and
// answers, from the last paint, which time, pitch and note lie under a point. Screen and
// paper use it alike: only the sizes differ.
class PianoRollDrawer {
public:
    static constexpr std::int32_t kTopPitch = 131;
    static constexpr std::int32_t kWhiteRows = 77; // eleven octaves of seven white keys
    static constexpr std::int32_t kKeyboardWidth = 50;
    // How far left of the grid a point may lie and still mean the grid's first time.
    static constexpr std::int32_t kLeftSlack = 10;
    static constexpr std::int32_t kBeatMark = 4;
    static constexpr std::int32_t kLabelRow = 20;
    static constexpr std::int32_t kLabelGap = 6;
    static constexpr SurfaceColor kGridColor{115, 147, 13};
    static constexpr SurfaceColor kSelectedColor{255, 0, 0};

    struct Rect {
        std::int32_t left = 0, top = 0, right = 0, bottom = 0; // right and bottom outside
        bool Contains(std::int32_t x, std::int32_t y) const {
            return x >= left && x < right && y >= top && y < bottom;
        }
    };

    // Sizes: the screen's are the defaults; paper multiplies them.
    struct Geometry {
        std::int32_t keyHeight = 12; // one white key row
        std::int32_t keyboardWidth = kKeyboardWidth;
        std::int32_t penWidth = 1;
        std::int32_t labelRow = kLabelRow;
        std::int32_t labelGap = kLabelGap;
        std::int32_t beatMark = kBeatMark;
        std::int32_t fontHeight = 12;
    };

    struct Request {
        Rect area;                  // keyboard and grid
        std::int32_t firstTime = 0; // at the grid's left edge
        std::int32_t firstRow = 0;  // the white-key row at the top (0: pitch 131's)
        // Notes that start this long before the first time may still reach into it.
        std::int32_t lookBack = 0;
        std::int32_t selectionStart = -1;
        std::int32_t selectionEnd = -1;
        std::int32_t currentTick = -1; // the current note: its tick and index in its point
        std::int32_t currentIndex = -1;
        std::int32_t colorMode = kColorByVolume;
        bool showTexts = true;
        bool keyboard = true;
    };

    // A note as the last paint drew it.
    struct NoteBar {
        Rect rect;             // clipped to the grid
        bool endShown = false; // the bar's right end is its note's end
        std::int32_t tick = 0;
        std::int32_t msgIndex = 0;
        std::int32_t pitch = 0;
    };

    PianoRollDrawer() = default;
    explicit PianoRollDrawer(const Geometry& geometry) : geometry_(geometry) {}

    const Geometry& Sizes() const { return geometry_; }
    // Quarter-note display length in pixels, times the zoom (paper), per tick.
    void SetScale(std::int32_t quarterLength, double zoom, std::int32_t ticksPerQuarter);
    double PixelsPerTick() const { return pixelsPerTick_; }

    // Draws `song` through `filter` (every kind of event is looked at: notes as bars,
    // texts as labels) into the request's area.
    void Paint(Song& song, const ViewFilter* filter, DrawSurface& surface, const Request& request);

    // --- the geometry, for the request of the last paint (or SetRequest) ---
    void SetRequest(const Request& request) { request_ = request; }
    const Request& LastRequest() const { return request_; }
    Rect Grid() const;
    // The top of a pitch's bar; bars are one key row less a pixel tall.
    std::int32_t PitchTop(std::int32_t pitch) const;
    // The white key a pitch lies on (black keys count with the white key above), from 0
    // at the top.
    static std::int32_t WhiteRow(std::int32_t pitch);
    std::int32_t TimeToX(std::int32_t tick) const;
    // The time under x; none well left of the grid. `snapTicks` > 0 truncates to its
    // multiples.
    std::optional<std::int32_t> XToTime(std::int32_t x, std::int32_t snapTicks = 0) const;
    // The pitch under y; none outside the area or above 127. Within two pixels of the
    // line between two white keys with a black key between them, the black key.
    std::optional<std::int32_t> YToPitch(std::int32_t y) const;
    // The last time the grid shows.
    std::int32_t LastShownTime() const;
    // Rows the area holds whole.
    std::int32_t RowsShown() const;

    const std::vector<NoteBar>& Bars() const { return bars_; }
    // The note under a point: the bar drawn last wins where bars overlap.
    std::optional<NoteBar> BarAt(std::int32_t x, std::int32_t y) const;
    // The current note's bar in the last paint.
    std::optional<NoteBar> CurrentBar() const { return current_; }

    // The colour of a note: the value chosen by the colour mode, along a ramp from black
    // through grey, purple, blue, cyan, green and yellow to red.
    static SurfaceColor NoteColor(std::int32_t value);
    static std::int32_t ColorValue(std::int32_t colorMode, std::int32_t velocity,
                                   std::int32_t program, std::int32_t channel, std::int32_t track);
    // The longest note `filter` shows, for the look-back of a request.
    static std::int32_t LongestNote(Song& song, const ViewFilter* filter);

private:
    void DrawKeyboard(DrawSurface& surface) const;
    void DrawRowLines(DrawSurface& surface) const;
    void DrawBars(Song& song, DrawSurface& surface) const;
    void DrawNotes(Song& song, const ViewFilter* filter, DrawSurface& surface);
    void DrawLabel(DrawSurface& surface, std::int32_t x, std::string_view text);
    std::int32_t RowY(std::int32_t row) const;

    Geometry geometry_;
    double pixelsPerTick_ = 30.0 / 384;
    Request request_;
    std::vector<NoteBar> bars_;
    std::optional<NoteBar> current_;
    // Where the last text label ended and the row it took.
    std::int32_t labelRight_ = 0;
    std::int32_t labelY_ = 0;
};
