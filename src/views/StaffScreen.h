#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "views/StaffArranger.h"
#include "views/StaffDrawer.h"

class Song;
class ViewFilter;
struct ViewOptions;

// Where a painted measure lies in the view, so that times and x positions convert.
struct MouseMeasure {
    std::int32_t noteX = 0;      // window x where its note area starts
    std::int32_t firstTick = 0;  // first tick shown
    std::int32_t shownTicks = 0; // ticks shown
    std::int32_t width = 0;      // pixels of the note area shown
};

// Where a painted note head lies: for finding the note under the mouse.
struct NoteSpot {
    StaffRect rect;
    std::int32_t tick = 0;
    std::int32_t msgIndex = 0;
};

// One paint of a Staff view, without pixels of its own: measures are arranged from the
// shared scroll position and drawn from left to right until the view's width is used.
// The first measure keeps its header (clef, key, time) but is shown only from the
// scroll time on: the drawing goes to an image wider than the view, and the window then
// copies the header and the rest side by side, cutting out what lies between.
class StaffScreen {
public:
    static constexpr double kScale = 0.1;
    static constexpr std::int32_t kContentHeight = 250;
    static constexpr std::int32_t kRightMargin = 18;
    static constexpr std::int32_t kScrollStepPixels = 8; // 80 units
    static constexpr std::int32_t kMaxScrollSteps = 20;

    struct Request {
        std::int32_t scrollTime = 0;
        std::int32_t width = 0;      // of the view's staff area
        std::int32_t scrollStep = 0; // vertical, 0 to 20
        std::int32_t gridStep = 0;   // ticks, 0 none
        std::int32_t selectionStart = -1;
        std::int32_t selectionEnd = -1;
        std::int32_t currentTick = -1; // the current note: its tick and index in its point
        std::int32_t currentIndex = -1;
    };
    // The part of the image before `cutFrom` and the part after it are copied to the view:
    // image [0, headerEnd) to view [0, headerEnd), image [cutFrom, ...) to view
    // [headerEnd, ...).
    struct Cut {
        std::int32_t headerEnd = 0;
        std::int32_t cutFrom = 0;
        std::int32_t Shift() const { return cutFrom - headerEnd; }
    };

    StaffScreen();
    ~StaffScreen();
    StaffScreen(const StaffScreen&) = delete;
    StaffScreen& operator=(const StaffScreen&) = delete;

    // Width the image must have for a view `width` pixels wide.
    static std::int32_t ImageWidth(std::int32_t width) { return width * 2 + 4000; }

    void Paint(Song& song, const ViewFilter* filter, const ViewOptions& options,
               DrawSurface& surface, const Request& request);

    const Cut& GetCut() const { return cut_; }
    // In view coordinates.
    const std::vector<MouseMeasure>& Measures() const { return measures_; }
    const std::vector<NoteSpot>& NoteSpots() const { return spots_; }
    bool CurrentShown() const { return currentShown_; }
    StaffRect CurrentRect() const { return currentRect_; }

    std::int32_t FirstShownTick() const;
    // The last tick of the last measure shown whole or in part.
    std::int32_t LastShownTick() const;
    std::optional<std::int32_t> TimeToX(std::int32_t tick) const;
    // With `snapStep` > 0 the time is rounded to the nearest multiple of it.
    std::optional<std::int32_t> XToTime(std::int32_t x, std::int32_t snapStep = 0) const;
    // The staff position under y (scrolled), or none outside the staff area.
    std::optional<std::int32_t> YToPosition(std::int32_t y, std::int32_t scrollStep) const;

    // The pitch at a staff position under the clef of the last paint, in a key.
    std::int32_t PositionToPitch(std::int32_t position, std::int32_t key, std::int32_t mode) const {
        return arranger_.PositionToPitch(position, key, mode);
    }
    // The y of a staff position (scrolled), for the placement preview.
    std::int32_t PositionToY(std::int32_t position, std::int32_t scrollStep) const;
    // The note head under (x, y), by the heads of the last paint.
    std::optional<NoteSpot> SpotAt(std::int32_t x, std::int32_t y) const;

    StaffDrawer* Drawer() const { return drawer_.get(); }

private:
    StaffArranger arranger_;
    std::unique_ptr<StaffDrawer> drawer_;
    Cut cut_;
    std::vector<MouseMeasure> measures_;
    std::vector<NoteSpot> spots_;
    bool currentShown_ = false;
    StaffRect currentRect_;
};
