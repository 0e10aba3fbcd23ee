#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "model/ViewFilter.h"
#include "util/AString.h"
#include "views/ControllerRangeChoice.h"
#include "views/DrawSurface.h"

class CPCommand;
class Song;

// What the graph needs of the note view it is drawn under: the view's time axis, where
// new events go, and the way to the song window's commands and dialogs.
class ControllerViewHost {
public:
    virtual ~ControllerViewHost() = default;
    // The x of a tick on the view's time axis, none where the view shows no such time.
    virtual std::optional<std::int32_t> TimeToX(std::int32_t tick) const = 0;
    virtual std::optional<std::int32_t> XToTime(std::int32_t x) const = 0;
    virtual std::int32_t ShownStart() const = 0;
    virtual std::int32_t ShownEnd() const = 0;
    // The track and channel of new events.
    virtual std::uint16_t PlacementTrack() const = 0;
    virtual std::uint8_t PlacementChannel() const = 0;
    virtual void Submit(std::unique_ptr<CPCommand> command) = 0;
    // "Controller Range Options" and "Controller Selection"; false on Cancel.
    virtual bool AskRange(ControllerRangeChoice& choice) = 0;
    virtual bool AskController(std::uint8_t& controller) = 0;
};

// The values one controller, or pitch bend, takes over the time a note view shows, drawn
// as a step line in a strip under the view; a click sets a value at one time, a drag
// fills a range with a shape.
class ControllerView {
public:
    // The controller's name and numbers, from the song's device where it defines it.
    struct Limits {
        std::int32_t low = 0;
        std::int32_t high = 127;
        std::int32_t resting = 0;
        bool onOff = false;
        AString name = "UnNamed";
    };
    struct Rect {
        std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    };

    static constexpr std::int32_t kAxisHeight = 64;
    static constexpr std::int32_t kBottomGap = 5;
    static constexpr std::int32_t kRightGap = 3;
    static constexpr std::int32_t kLabelWidth = 50;
    // Tall enough for the axis and the label's lines.
    static constexpr std::int32_t kStripHeight = 80;
    // Steps closer than this on the screen are drawn as one.
    static constexpr std::int32_t kStepPixels = 5;
    static constexpr SurfaceColor kLineColor{0, 0, 160};

    // `filter` is the view's and must outlive the graph.
    ControllerView(Song& song, const ViewFilter& filter, ControllerViewHost& host);

    std::uint8_t Controller() const { return controller_; }
    void SetController(std::uint8_t controller) { controller_ = controller; }
    static Limits LimitsOf(const Song& song, std::uint8_t controller);
    Limits CurrentLimits() const { return LimitsOf(song_, controller_); }

    // The strip's rectangle, in the coordinates the host's x values use.
    void SetRect(const Rect& rect) { rect_ = rect; }
    const Rect& GetRect() const { return rect_; }

    // The label, the step line from the level in force at the start, and its run to the
    // right edge.
    void Paint(DrawSurface& surface) const;
    // The y of a value and the value under a y, for the strip's rectangle.
    std::int32_t ValueToY(std::int32_t value, const Limits& limits) const;
    std::int32_t YToValue(std::int32_t y, const Limits& limits) const;
    // The value in force just before a tick: the last event before it, else the resting
    // value.
    std::int32_t LevelBefore(std::int32_t tick, const Limits& limits) const;

    // The mouse: a press and release at one place sets a value there (on the label it
    // asks for another controller); a drag asks for a shape over the range dragged.
    void Press(std::int32_t x, std::int32_t y);
    void Move(std::int32_t x, std::int32_t y);
    void Release(std::int32_t x, std::int32_t y);
    bool Held() const { return held_; }
    // While a drag is held: the x range it covers.
    std::optional<std::pair<std::int32_t, std::int32_t>> DragSpan() const;

    // The edits themselves, one undoable command each.
    void SetValueAt(std::int32_t tick, std::int32_t value);
    void ApplyRange(std::int32_t from, std::int32_t to, const ControllerRangeChoice& choice);
    // What a shape gives over a range: the events ApplyRange puts, repeated values left
    // out, clipped to the controller's range.
    static std::vector<std::pair<std::int32_t, std::int32_t>>
    ShapeValues(const ControllerRangeChoice& choice, const Limits& limits, std::int32_t from,
                std::int32_t to, std::int32_t ticksPerQuarter);

    // Left of this lies the label.
    std::int32_t LabelRight() const { return rect_.left + kLabelWidth; }

private:
    ViewFilter ShownFilter() const;
    void Submit(std::int32_t from, std::int32_t to,
                const std::vector<std::pair<std::int32_t, std::int32_t>>& values);

    Song& song_;
    const ViewFilter& filter_;
    ControllerViewHost& host_;
    std::uint8_t controller_ = 7;
    Rect rect_;
    bool held_ = false;
    std::int32_t pressX_ = -1, pressY_ = -1;
    std::int32_t moveX_ = -1;
};
