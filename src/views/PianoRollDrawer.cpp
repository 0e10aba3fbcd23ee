#include "views/PianoRollDrawer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/Song.h"
#include "model/SongIter.h"
#include "model/ViewFilter.h"

namespace {

// Where each pitch class's bar starts below the top of its octave, in twelfths of a key
// row: C to B.
constexpr std::array<std::int32_t, 12> kTwelfths = {73, 67, 61, 55, 49, 37, 31, 25, 19, 13, 7, 1};
// The white key of each pitch class counted from B down, black keys with the white key
// above them.
constexpr std::array<std::int32_t, 12> kWhiteFromTop = {0, 0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6};
constexpr std::array<bool, 12> kBlack = {false, true,  false, true,  false, false,
                                         true,  false, true,  false, true,  false};

constexpr std::array<SurfaceColor, 17> kRamp = {{
    {0, 0, 0},
    {128, 128, 128},
    {160, 96, 160},
    {160, 64, 160},
    {160, 0, 192},
    {192, 0, 255},
    {0, 0, 128},
    {0, 0, 255},
    {0, 128, 255},
    {0, 192, 255},
    {0, 255, 255},
    {0, 255, 0},
    {192, 255, 0},
    {255, 255, 0},
    {255, 192, 0},
    {255, 128, 0},
    {255, 0, 0},
}};

// The lines below the Cs and Fs of each octave, so that the eye finds its octave.
constexpr std::array<SurfaceColor, 11> kOctaveColors = {{
    {90, 90, 90},
    {0, 60, 120},
    {60, 0, 160},
    {120, 0, 140},
    {160, 0, 60},
    {150, 50, 0},
    {140, 90, 0},
    {90, 110, 0},
    {0, 130, 90},
    {0, 100, 160},
    {0, 0, 160},
}};
constexpr SurfaceColor kMiddleC{220, 0, 0};
constexpr SurfaceColor kBlackColor{0, 0, 0};
constexpr SurfaceColor kWhiteColor{255, 255, 255};
constexpr SurfaceColor kBarLineColor{90, 90, 90};
constexpr std::int32_t kMiddleCPitch = 60;

} // namespace

void PianoRollDrawer::SetScale(std::int32_t quarterLength, double zoom,
                               std::int32_t ticksPerQuarter) {
    pixelsPerTick_ =
        std::max(quarterLength, 1) * std::max(zoom, 0.001) / std::max(ticksPerQuarter, 1);
}

PianoRollDrawer::Rect PianoRollDrawer::Grid() const {
    Rect grid = request_.area;
    grid.left = std::min(grid.left + geometry_.keyboardWidth, grid.right);
    return grid;
}

std::int32_t PianoRollDrawer::RowY(std::int32_t row) const {
    return request_.area.top + (row - request_.firstRow) * geometry_.keyHeight;
}

std::int32_t PianoRollDrawer::PitchTop(std::int32_t pitch) const {
    const std::int32_t k = geometry_.keyHeight;
    return request_.area.top + (10 - pitch / 12) * 7 * k + kTwelfths[pitch % 12] * k / 12 -
           request_.firstRow * k + 1;
}

std::int32_t PianoRollDrawer::WhiteRow(std::int32_t pitch) {
    const std::int32_t down = kTopPitch - pitch;
    return down / 12 * 7 + kWhiteFromTop[down % 12];
}

std::int32_t PianoRollDrawer::TimeToX(std::int32_t tick) const {
    const double dx =
        (static_cast<double>(tick) - static_cast<double>(request_.firstTime)) * pixelsPerTick_;
    return Grid().left + static_cast<std::int32_t>(std::clamp(std::floor(dx), -1e9, 1e9));
}

std::optional<std::int32_t> PianoRollDrawer::XToTime(std::int32_t x, std::int32_t snapTicks) const {
    std::int32_t dx = x - Grid().left;
    if (dx < -kLeftSlack)
        return std::nullopt;
    dx = std::max(dx, 0);
    const double ticks = std::trunc((dx + 2) / pixelsPerTick_) + request_.firstTime;
    std::int32_t time = static_cast<std::int32_t>(std::min(ticks, double{kEndTick}));
    if (snapTicks > 0)
        time = time / snapTicks * snapTicks;
    return time;
}

std::optional<std::int32_t> PianoRollDrawer::YToPitch(std::int32_t y) const {
    const Rect& area = request_.area;
    if (y < area.top || y >= area.bottom)
        return std::nullopt;
    const std::int32_t k = geometry_.keyHeight;
    const std::int32_t band = 7 * k;
    const std::int32_t fromTop = y - area.top + request_.firstRow * k - 1;
    if (fromTop < 0)
        return std::nullopt;
    const std::int32_t octave = 10 - fromTop / band;
    if (octave < 0)
        return std::nullopt;
    // Distance up from the bottom of the octave's band.
    const std::int32_t r = band - 1 - fromTop % band;
    const std::array<std::int32_t, 11> limits = {k - 2,     k + 2,     2 * k - 2, 2 * k + 2,
                                                 3 * k,     4 * k - 2, 4 * k + 2, 5 * k - 2,
                                                 5 * k + 2, 6 * k - 2, 6 * k + 2};
    std::int32_t pitchClass = 11;
    for (std::size_t i = 0; i < limits.size(); ++i)
        if (r <= limits[i]) {
            pitchClass = static_cast<std::int32_t>(i);
            break;
        }
    const std::int32_t pitch = octave * 12 + pitchClass;
    if (pitch > 127)
        return std::nullopt;
    return pitch;
}

std::int32_t PianoRollDrawer::LastShownTime() const {
    const Rect grid = Grid();
    const double span = std::trunc((grid.right - grid.left) / pixelsPerTick_);
    return static_cast<std::int32_t>(
        std::min(static_cast<double>(request_.firstTime) + span, double{kEndTick}));
}

std::int32_t PianoRollDrawer::RowsShown() const {
    return (request_.area.bottom - request_.area.top) / std::max(geometry_.keyHeight, 1);
}

SurfaceColor PianoRollDrawer::NoteColor(std::int32_t value) {
    // Channel and track colours go up to 240: those above the ramp's end fall between
    // the stops the lower ones take, so that all sixteen stay apart.
    if (value > 127)
        value -= 120;
    value = std::clamp(value, 0, 127);
    const std::size_t b = static_cast<std::size_t>(value / 8);
    const double f = (value % 8) * 0.125;
    auto mix = [f](std::uint8_t from, std::uint8_t to) {
        return static_cast<std::uint8_t>(from * (1 - f) + to * f);
    };
    const SurfaceColor& lo = kRamp[b];
    const SurfaceColor& hi = kRamp[b + 1];
    return SurfaceColor{mix(lo.r, hi.r), mix(lo.g, hi.g), mix(lo.b, hi.b)};
}

std::int32_t PianoRollDrawer::ColorValue(std::int32_t colorMode, std::int32_t velocity,
                                         std::int32_t program, std::int32_t channel,
                                         std::int32_t track) {
    switch (colorMode) {
    case kColorByInstrument:
        return program;
    case kColorByChannel:
        return channel * 16;
    case kColorByTrack:
        return track % 16 * 16;
    default:
        return velocity;
    }
}

std::int32_t PianoRollDrawer::LongestNote(Song& song, const ViewFilter* filter) {
    ViewFilter notes = filter ? *filter : ViewFilter();
    notes.SetKind(kMsgNote);
    SongIter it(song, &notes);
    std::int32_t longest = 0;
    for (bool ok = it.Seek(0); ok; ok = it.Next())
        longest = std::max(longest, it.Msg()->duration);
    return longest;
}

std::optional<PianoRollDrawer::NoteBar> PianoRollDrawer::BarAt(std::int32_t x,
                                                               std::int32_t y) const {
    for (auto it = bars_.rbegin(); it != bars_.rend(); ++it)
        if (it->rect.Contains(x, y))
            return *it;
    return std::nullopt;
}

void PianoRollDrawer::Paint(Song& song, const ViewFilter* filter, DrawSurface& surface,
                            const Request& request) {
    request_ = request;
    bars_.clear();
    current_.reset();
    if (request.area.right <= request.area.left || request.area.bottom <= request.area.top)
        return;
    if (request.keyboard)
        DrawKeyboard(surface);
    const Rect grid = Grid();
    surface.SetPen(SurfacePen{geometry_.penWidth, kBlackColor, PenStyle::Solid});
    surface.MoveTo(grid.left, grid.top);
    surface.LineTo(grid.right - 1, grid.top);
    surface.LineTo(grid.right - 1, grid.bottom - 1);
    surface.LineTo(grid.left, grid.bottom - 1);
    surface.LineTo(grid.left, grid.top);
    DrawRowLines(surface);
    DrawBars(song, surface);
    DrawNotes(song, filter, surface);
}

void PianoRollDrawer::DrawKeyboard(DrawSurface& surface) const {
    const Rect& area = request_.area;
    const std::int32_t k = geometry_.keyHeight;
    const std::int32_t right = std::min(area.left + geometry_.keyboardWidth, area.right);
    surface.FillRect(area.left, area.top, right, area.bottom, kWhiteColor);
    const std::int32_t lastRow = std::min(request_.firstRow + RowsShown() + 1, kWhiteRows);
    surface.SetPen(SurfacePen{geometry_.penWidth, kBlackColor, PenStyle::Solid});
    for (std::int32_t row = request_.firstRow; row <= lastRow; ++row) {
        const std::int32_t y = RowY(row);
        if (y >= area.top && y < area.bottom) {
            surface.MoveTo(area.left, y);
            surface.LineTo(right, y);
        }
    }
    surface.MoveTo(right - 1, area.top);
    surface.LineTo(right - 1, area.bottom - 1);
    // Black keys sit across the line between the two white keys they lie between.
    const std::int32_t blackRight = area.left + geometry_.keyboardWidth * 3 / 5;
    for (std::int32_t pitch = kTopPitch; pitch >= 0; --pitch) {
        if (!kBlack[static_cast<std::size_t>(pitch % 12)])
            continue;
        const std::int32_t line = RowY(WhiteRow(pitch) + 1);
        const std::int32_t top = std::max(line - k / 3, area.top);
        const std::int32_t bottom = std::min(line + k / 3, area.bottom);
        if (top < bottom)
            surface.FillRect(area.left, top, blackRight, bottom, kBlackColor);
    }
}

void PianoRollDrawer::DrawRowLines(DrawSurface& surface) const {
    const Rect grid = Grid();
    const std::int32_t middleC = WhiteRow(kMiddleCPitch);
    const std::int32_t lastRow = std::min(request_.firstRow + RowsShown() + 1, kWhiteRows);
    for (std::int32_t row = std::max(request_.firstRow, 1); row <= lastRow; ++row) {
        const std::int32_t y = RowY(row);
        if (y <= grid.top || y >= grid.bottom - 1)
            continue;
        // The key above the line: its place in its octave from the top (B 0 ... C 6).
        const std::int32_t above = row - 1;
        const std::int32_t inOctave = above % 7;
        const SurfaceColor octave = kOctaveColors[static_cast<std::size_t>(10 - above / 7)];
        SurfacePen pen{geometry_.penWidth, kGridColor, PenStyle::Solid};
        if (above == middleC)
            pen.color = kMiddleC;
        else if (inOctave == 6)
            pen.color = octave;
        else if (inOctave == 3)
            pen = SurfacePen{geometry_.penWidth, octave, PenStyle::Dot};
        surface.SetPen(pen);
        surface.MoveTo(grid.left + 1, y);
        surface.LineTo(grid.right - 2, y);
    }
}

void PianoRollDrawer::DrawBars(Song& song, DrawSurface& surface) const {
    const Rect grid = Grid();
    const std::int32_t first = request_.firstTime;
    const std::int32_t last = LastShownTime();
    const SurfacePen barPen{geometry_.penWidth, kBarLineColor, PenStyle::Solid};
    const SurfacePen beatPen{geometry_.penWidth, kGridColor, PenStyle::Solid};
    for (std::int32_t measure = song.TickToMusicalTime(std::max(first, 0)).measure;; ++measure) {
        const std::int32_t start = song.MeasureToTick(measure);
        if (start > last || start < 0)
            break;
        const std::int32_t length =
            std::max(song.MeasureTicks(song.SignatureAtMeasure(measure)), 1);
        const std::int32_t beats = std::max(song.SignatureAtMeasure(measure).numerator, 1);
        if (start >= first) {
            const std::int32_t x = TimeToX(start);
            surface.SetPen(barPen);
            surface.MoveTo(x, grid.top + 1);
            surface.LineTo(x, grid.bottom - 2);
        }
        surface.SetPen(beatPen);
        for (std::int32_t b = 1; b < beats; ++b) {
            const std::int64_t at = std::int64_t{start} + std::int64_t{b} * (length / beats);
            if (at < first || at > last)
                continue;
            const std::int32_t x = TimeToX(static_cast<std::int32_t>(at));
            surface.MoveTo(x, grid.top + 1);
            surface.LineTo(x, grid.top + geometry_.beatMark);
            surface.MoveTo(x, grid.bottom - 2);
            surface.LineTo(x, grid.bottom - 1 - geometry_.beatMark);
        }
        if (std::int64_t{start} + length > kEndTick)
            break;
    }
}

void PianoRollDrawer::DrawNotes(Song& song, const ViewFilter* filter, DrawSurface& surface) {
    const Rect grid = Grid();
    const std::int32_t k = geometry_.keyHeight;
    const std::int32_t last = LastShownTime();
    // Texts are looked at as well as notes.
    ViewFilter seen = filter ? *filter : ViewFilter();
    seen.SetKind(kAllKinds);
    struct Label {
        std::int32_t tick;
        const MidiMsgText* text;
    };
    std::vector<Label> labels;
    SongIter it(song, &seen);
    const std::int32_t from = static_cast<std::int32_t>(
        std::max<std::int64_t>(std::int64_t{request_.firstTime} - request_.lookBack, 0));
    for (bool ok = it.Seek(from); ok && it.Tick() <= last; ok = it.Next()) {
        const MidiMsg& msg = *it.Msg();
        if (msg.kind == kMsgText) {
            if (request_.showTexts && it.Tick() >= request_.firstTime)
                labels.push_back({it.Tick(), static_cast<const MidiMsgText*>(&msg)});
            continue;
        }
        if (msg.kind != kMsgNote)
            continue;
        const auto& note = static_cast<const MidiMsgNote&>(msg);
        const std::int64_t end = std::int64_t{it.Tick()} + note.duration;
        if (end < request_.firstTime)
            continue;
        const std::int32_t left = TimeToX(it.Tick());
        const std::int32_t right = std::max(
            TimeToX(static_cast<std::int32_t>(std::min<std::int64_t>(end, kEndTick))), left + 1);
        const std::int32_t top = PitchTop(note.key);
        NoteBar bar;
        bar.rect = Rect{std::max(left, grid.left + 1), std::max(top, grid.top + 1),
                        std::min(right, grid.right - 1), std::min(top + k - 1, grid.bottom - 1)};
        if (bar.rect.left >= bar.rect.right || bar.rect.top >= bar.rect.bottom)
            continue;
        bar.endShown = right <= grid.right - 1;
        bar.tick = it.Tick();
        bar.msgIndex = static_cast<std::int32_t>(it.MsgIter().Index());
        bar.pitch = note.key;
        const bool current =
            it.Tick() == request_.currentTick && bar.msgIndex == request_.currentIndex;
        const bool selected = request_.selectionStart >= 0 &&
                              it.Tick() >= request_.selectionStart &&
                              it.Tick() <= request_.selectionEnd;
        const Rect& r = bar.rect;
        surface.SetPen(SurfacePen{geometry_.penWidth,
                                  current || selected ? kSelectedColor : kBlackColor,
                                  PenStyle::Solid});
        // The current note's outline is twice as thick.
        const std::int32_t rings = current ? 2 : 1;
        for (std::int32_t i = 0; i < rings; ++i) {
            surface.MoveTo(r.left + i, r.top + i);
            surface.LineTo(r.right - 1 - i, r.top + i);
            surface.LineTo(r.right - 1 - i, r.bottom - 1 - i);
            surface.LineTo(r.left + i, r.bottom - 1 - i);
            surface.LineTo(r.left + i, r.top + i);
        }
        surface.FillRect(r.left + rings, r.top + rings, r.right - rings, r.bottom - rings,
                         NoteColor(ColorValue(request_.colorMode, note.velocity, note.Program(),
                                              note.channel, note.track)));
        if (current)
            current_ = bar;
        bars_.push_back(bar);
    }
    labelRight_ = grid.left;
    labelY_ = grid.top + 2;
    if (!labels.empty()) {
        surface.SetFont(SurfaceFont{"Arial", geometry_.fontHeight, 400});
        surface.SetTextColor(kBlackColor);
        for (const Label& label : labels)
            DrawLabel(surface, TimeToX(label.tick) + geometry_.labelGap, label.text->text.str());
    }
}

// Labels go on rows one below the other while they would overlap, and back to the top
// row when the grid runs out.
void PianoRollDrawer::DrawLabel(DrawSurface& surface, std::int32_t x, std::string_view text) {
    const Rect grid = Grid();
    if (x >= grid.right || text.empty())
        return;
    std::int32_t y = grid.top + 2;
    if (x < labelRight_) {
        y = labelY_ + geometry_.labelRow;
        if (y + geometry_.labelRow > grid.bottom)
            y = grid.top + 2;
    }
    surface.TextOut(x, y + geometry_.fontHeight, text);
    labelRight_ = x + surface.GetTextExtent(text).width;
    labelY_ = y;
}
