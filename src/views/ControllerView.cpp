#include "views/ControllerView.h"

#include <algorithm>
#include <cstdlib>

#include "devices/MidiDevice.h"
#include "edit/MC_ControllerValues.h"
#include "model/Song.h"
#include "model/SongIter.h"

namespace {

const SurfaceFont kLabelFont{"Small Fonts", 10, 400};
constexpr std::int32_t kLabelLine = 10;

// Values per step of the 0 to 127 scale. Controllers whose top lies below 127 would
// make it 0.
std::int32_t Divisor(const ControllerView::Limits& limits) {
    return std::max(limits.high / 127, 1);
}

bool Beyond(std::int32_t a, std::int32_t b) {
    return std::abs(a - b) > 1;
}

} // namespace

ControllerView::ControllerView(Song& song, const ViewFilter& filter, ControllerViewHost& host)
    : song_(song), filter_(filter), host_(host) {}

ControllerView::Limits ControllerView::LimitsOf(const Song& song, std::uint8_t controller) {
    Limits limits;
    if (controller == kPitchBend) {
        limits.high = 16383;
        limits.resting = 8192;
        limits.name = "Pitch Bend";
        return limits;
    }
    const auto* device = dynamic_cast<const MidiDevice*>(&song.Device());
    if (const MidiController* c = device ? device->Controller(controller) : nullptr) {
        limits.name = c->Name();
        limits.onOff = c->OnOff();
        if (limits.onOff)
            return limits;
        // A definition read from a file may hold anything; the graph needs low <= high.
        limits.high = std::clamp<std::int32_t>(c->High(), 1, MidiController::kHighest);
        limits.low = std::clamp<std::int32_t>(c->Low(), 0, limits.high);
        limits.resting = std::clamp<std::int32_t>(c->DefaultValue(), limits.low, limits.high);
        return limits;
    }
    // Undefined: coarse controllers still hold fourteen bits.
    if (IsCoarseController(controller))
        limits.high = MidiController::kHighest;
    return limits;
}

ViewFilter ControllerView::ShownFilter() const {
    ViewFilter shown = filter_;
    shown.SetKind(kMsgControlChange, controller_);
    return shown;
}

std::int32_t ControllerView::ValueToY(std::int32_t value, const Limits& limits) const {
    const std::int32_t level = std::clamp((value + 1) / Divisor(limits), 0, 127);
    return rect_.bottom - kBottomGap - level * kAxisHeight / 127;
}

std::int32_t ControllerView::YToValue(std::int32_t y, const Limits& limits) const {
    const std::int32_t up = std::clamp(rect_.bottom - kBottomGap - y, 0, kAxisHeight);
    // Half a step up, so that the middle of the axis reads 64.
    const std::int32_t level = std::min((up * 127 + kAxisHeight / 2) / kAxisHeight, 127);
    if (limits.onOff)
        return level < 64 ? 0 : 127;
    return std::clamp(level * Divisor(limits), limits.low, limits.high);
}

std::int32_t ControllerView::LevelBefore(std::int32_t tick, const Limits& limits) const {
    const ViewFilter shown = ShownFilter();
    SongTimeIter it(song_);
    it.Seek(tick);
    while (it.Prev()) {
        const auto& msgs = it.Point()->msgs;
        for (std::size_t i = msgs.Count(); i-- > 0;)
            if (shown.Matches(*msgs[i]))
                return static_cast<const MidiMsgControlChange*>(msgs[i])->value;
    }
    return limits.resting;
}

void ControllerView::Paint(DrawSurface& surface) const {
    const Limits limits = CurrentLimits();
    // The name a word a line, then the number.
    surface.SetFont(kLabelFont);
    surface.SetTextColor(SurfaceColor{0, 0, 0});
    std::string label = limits.name.str();
    std::replace(label.begin(), label.end(), ' ', '\n');
    label += "\n(" + std::to_string(controller_) + ")";
    std::int32_t baseline = rect_.top + kLabelLine + 2;
    for (std::size_t start = 0; start <= label.size();) {
        const std::size_t end = std::min(label.find('\n', start), label.size());
        surface.TextOut(rect_.left + 2, baseline,
                        std::string_view(label).substr(start, end - start));
        baseline += kLabelLine;
        start = end + 1;
    }

    const std::int32_t first = host_.ShownStart();
    const std::int32_t last = host_.ShownEnd();
    const std::int32_t right = rect_.right - kRightGap;
    std::int32_t x = std::max(host_.TimeToX(first).value_or(LabelRight()), LabelRight());
    std::int32_t y = ValueToY(LevelBefore(first, limits), limits);
    surface.SetPen(SurfacePen{1, kLineColor, PenStyle::Solid});
    surface.MoveTo(x, y);
    const ViewFilter shown = ShownFilter();
    SongIter it(song_, &shown);
    for (bool ok = it.Seek(first); ok && it.Tick() <= last; ok = it.Next()) {
        const std::optional<std::int32_t> at = host_.TimeToX(it.Tick());
        if (!at || *at > right)
            break;
        const std::int32_t level =
            ValueToY(static_cast<const MidiMsgControlChange*>(it.Msg())->value, limits);
        if (*at > x + kStepPixels) {
            surface.LineTo(*at, y);
            x = *at;
        }
        if (level != y) {
            surface.LineTo(x, level);
            y = level;
        }
    }
    if (right > x)
        surface.LineTo(right, y);
}

void ControllerView::Press(std::int32_t x, std::int32_t y) {
    held_ = true;
    pressX_ = x;
    pressY_ = y;
    moveX_ = x;
}

void ControllerView::Move(std::int32_t x, std::int32_t /*y*/) {
    if (held_)
        moveX_ = x;
}

std::optional<std::pair<std::int32_t, std::int32_t>> ControllerView::DragSpan() const {
    if (!held_ || !Beyond(moveX_, pressX_))
        return std::nullopt;
    return std::make_pair(std::min(pressX_, moveX_), std::max(pressX_, moveX_));
}

void ControllerView::Release(std::int32_t x, std::int32_t y) {
    if (!held_)
        return;
    held_ = false;
    const std::int32_t pressX = pressX_;
    pressX_ = pressY_ = moveX_ = -1;
    if (!Beyond(x, pressX)) {
        if (x < LabelRight()) {
            std::uint8_t chosen = controller_;
            if (host_.AskController(chosen))
                controller_ = chosen;
            return;
        }
        if (const std::optional<std::int32_t> at = host_.XToTime(x))
            SetValueAt(*at, YToValue(y, CurrentLimits()));
        return;
    }
    const std::optional<std::int32_t> a = host_.XToTime(std::max(pressX, LabelRight()));
    const std::optional<std::int32_t> b = host_.XToTime(std::max(x, LabelRight()));
    if (!a || !b)
        return;
    ControllerRangeChoice choice = ControllerRangeChoice::AtRest(CurrentLimits().resting);
    if (!host_.AskRange(choice))
        return;
    ApplyRange(std::min(*a, *b), std::max(*a, *b), choice);
}

void ControllerView::SetValueAt(std::int32_t tick, std::int32_t value) {
    const Limits limits = CurrentLimits();
    Submit(tick, tick, {{tick, std::clamp(value, limits.low, limits.high)}});
}

std::vector<std::pair<std::int32_t, std::int32_t>>
ControllerView::ShapeValues(const ControllerRangeChoice& choice, const Limits& limits,
                            std::int32_t from, std::int32_t to, std::int32_t ticksPerQuarter) {
    std::vector<std::pair<std::int32_t, std::int32_t>> values;
    if (choice.eraseOnly || to < from)
        return values;
    const std::unique_ptr<ControllerGraphType> shape = choice.MakeShape(limits.high);
    const std::int32_t step = std::max(ticksPerQuarter / 16, 1);
    const double span = to > from ? to - from : 1;
    for (std::int64_t t = from; t <= to; t += step) {
        std::int32_t value = shape->Value(static_cast<double>(t - from) / span);
        if (limits.onOff)
            value = value < 64 ? 0 : 127;
        value = std::clamp(value, limits.low, limits.high);
        if (values.empty() || values.back().second != value)
            values.emplace_back(static_cast<std::int32_t>(t), value);
    }
    return values;
}

void ControllerView::ApplyRange(std::int32_t from, std::int32_t to,
                                const ControllerRangeChoice& choice) {
    Submit(from, to, ShapeValues(choice, CurrentLimits(), from, to, song_.TicksPerQuarter()));
}

void ControllerView::Submit(std::int32_t from, std::int32_t to,
                            const std::vector<std::pair<std::int32_t, std::int32_t>>& values) {
    std::vector<MC_ControllerValues::Point> points;
    points.reserve(values.size());
    for (const auto& [tick, value] : values)
        points.push_back({tick, static_cast<std::uint16_t>(value)});
    MidiMsgControlChange model(host_.PlacementChannel(), controller_, 0);
    model.track = host_.PlacementTrack();
    SongIter it(song_, &filter_);
    host_.Submit(std::make_unique<MC_ControllerValues>(it, model, from, to, std::move(points)));
}
