#include "views/StaffScreen.h"

#include <algorithm>

#include "model/Song.h"
#include "model/ViewOptions.h"

namespace {

constexpr SurfaceColor kCurrentColor{255, 0, 0};
constexpr SurfacePen kCutPen{1, {128, 128, 128}, PenStyle::Dot};

} // namespace

StaffScreen::StaffScreen() = default;
StaffScreen::~StaffScreen() = default;

void StaffScreen::Paint(Song& song, const ViewFilter* filter, const ViewOptions& options,
                        DrawSurface& surface, const Request& request) {
    if (!drawer_)
        drawer_ = std::make_unique<StaffDrawer>(surface, kScale, kScale);
    measures_.clear();
    spots_.clear();
    currentShown_ = false;
    cut_ = Cut{};

    arranger_.Configure(options);
    arranger_.SetTicksPerQuarter(song.TicksPerQuarter());
    const std::int32_t scrollTime = std::max(request.scrollTime, 0);
    arranger_.Start(song, filter, scrollTime);
    drawer_->ClearLyricRows();

    const std::int32_t systemTop =
        -std::clamp(request.scrollStep, 0, kMaxScrollSteps) * kScrollStepPixels;
    const std::int32_t usable = std::max(request.width - kRightMargin, 1);
    std::int32_t x = 0;
    bool first = true;
    // A screen can hold only so many measures; the bound keeps a damaged song from
    // turning one paint into an endless loop.
    for (int count = 0; count < 400; ++count) {
        std::unique_ptr<MeasureDrawInfo> measure =
            arranger_.Finished() ? arranger_.ArrangeEmptyMeasure() : arranger_.ArrangeNextMeasure();
        if (!measure)
            break;
        StaffDrawRequest draw;
        draw.systemTop = systemTop;
        draw.drawHeader = first;
        draw.fromTick = first ? std::clamp(scrollTime - measure->startTick, 0, measure->length) : 0;
        draw.gridStep = request.gridStep;
        draw.selectionStart = request.selectionStart;
        draw.selectionEnd = request.selectionEnd;
        if (request.currentTick >= measure->startTick &&
            request.currentTick < measure->startTick + std::max(measure->length, 1)) {
            draw.currentTime = request.currentTick - measure->startTick;
            draw.currentIndex = request.currentIndex;
        }
        const std::size_t spotsBefore = spots_.size();
        draw.notePosition = [&](const StaffRect& r, std::int32_t tick, std::int32_t index) {
            spots_.push_back({r, tick, index});
        };
        StaffDrawResult result;
        drawer_->DrawMeasure(surface, x, *measure, draw, result);
        if (first) {
            cut_.headerEnd = result.noteAreaX;
            cut_.cutFrom = result.fromTickX;
            if (cut_.Shift() > 0) {
                surface.SetPen(kCutPen);
                surface.MoveTo(cut_.cutFrom, drawer_->PositionY(12, systemTop));
                surface.LineTo(cut_.cutFrom, drawer_->PositionY(42, systemTop));
            }
        }
        // Into view coordinates; heads in the part cut away are not on the screen.
        if (first)
            std::erase_if(spots_, [&](const NoteSpot& spot) { return spot.tick < scrollTime; });
        for (std::size_t i = spotsBefore; i < spots_.size(); ++i) {
            spots_[i].rect.left -= cut_.Shift();
            spots_[i].rect.right -= cut_.Shift();
        }
        const std::int32_t viewShift = cut_.Shift();
        MouseMeasure m;
        m.noteX = (first ? cut_.headerEnd : result.noteAreaX - viewShift);
        m.firstTick = measure->startTick + draw.fromTick;
        m.shownTicks = measure->length - draw.fromTick;
        m.width = std::max(x - (first ? cut_.cutFrom : result.noteAreaX), 1);
        measures_.push_back(m);
        if (result.currentFound && request.currentTick >= scrollTime) {
            const std::int32_t headX = result.noteAreaX + result.currentX;
            drawer_->DrawHead(surface, headX, result.currentY, result.currentHeadCode,
                              kCurrentColor);
            currentShown_ = true;
            const std::int32_t w = drawer_->HeadWidth(result.currentHeadCode);
            currentRect_ = {headX - viewShift, result.currentY - drawer_->ScaleY(40),
                            headX - viewShift + w, result.currentY + drawer_->ScaleY(40)};
        }
        first = false;
        if (x - viewShift > usable)
            break;
    }
}

std::int32_t StaffScreen::FirstShownTick() const {
    return measures_.empty() ? 0 : measures_.front().firstTick;
}

std::int32_t StaffScreen::LastShownTick() const {
    if (measures_.empty())
        return 0;
    // The last measure may reach past the view's edge: count only what shows.
    const MouseMeasure& last = measures_.back();
    return last.firstTick + std::max(last.shownTicks - 1, 0);
}

std::optional<std::int32_t> StaffScreen::TimeToX(std::int32_t tick) const {
    if (measures_.empty() || tick < measures_.front().firstTick)
        return std::nullopt;
    for (const MouseMeasure& m : measures_) {
        if (tick >= m.firstTick && tick < m.firstTick + std::max(m.shownTicks, 1)) {
            const std::int64_t offset =
                static_cast<std::int64_t>(tick - m.firstTick) * m.width / std::max(m.shownTicks, 1);
            return m.noteX + static_cast<std::int32_t>(offset);
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> StaffScreen::XToTime(std::int32_t x, std::int32_t snapStep) const {
    constexpr std::int32_t kSlack = 8;
    if (measures_.empty())
        return std::nullopt;
    const MouseMeasure* hit = nullptr;
    if (x < measures_.front().noteX)
        hit = &measures_.front();
    for (const MouseMeasure& m : measures_) {
        if (!hit && x >= m.noteX - kSlack && x <= m.noteX + m.width + kSlack)
            hit = &m;
    }
    const MouseMeasure& last = measures_.back();
    std::int32_t tick = 0;
    if (!hit) {
        if (x > last.noteX + last.width + kSlack)
            tick = last.firstTick + last.shownTicks;
        else
            return std::nullopt;
    } else {
        const double fraction =
            std::clamp(static_cast<double>(x - hit->noteX) / std::max(hit->width, 1), 0.0, 1.0);
        tick = hit->firstTick + static_cast<std::int32_t>(fraction * hit->shownTicks);
    }
    if (snapStep > 0)
        tick = (tick + snapStep / 2) / snapStep * snapStep;
    return tick;
}

std::optional<std::int32_t> StaffScreen::YToPosition(std::int32_t y,
                                                     std::int32_t scrollStep) const {
    if (!drawer_)
        return std::nullopt;
    const std::int32_t offset = std::clamp(scrollStep, 0, kMaxScrollSteps) * kScrollStepPixels;
    const std::int32_t at = y + offset;
    if (at < 0 || at > kContentHeight + offset)
        return std::nullopt;
    const std::int32_t h = drawer_->SystemHeight();
    return (at + h / 200) / std::max(h / 100, 1);
}

std::int32_t StaffScreen::PositionToY(std::int32_t position, std::int32_t scrollStep) const {
    const std::int32_t offset = std::clamp(scrollStep, 0, kMaxScrollSteps) * kScrollStepPixels;
    return drawer_ ? drawer_->PositionY(position, -offset) : 0;
}

std::optional<NoteSpot> StaffScreen::SpotAt(std::int32_t x, std::int32_t y) const {
    // A pixel of slack around each head: small heads are hard to hit.
    constexpr std::int32_t kSlack = 1;
    for (auto it = spots_.rbegin(); it != spots_.rend(); ++it) {
        const StaffRect& r = it->rect;
        if (x >= r.left - kSlack && x <= r.right + kSlack && y >= r.top - kSlack &&
            y <= r.bottom + kSlack)
            return *it;
    }
    return std::nullopt;
}
