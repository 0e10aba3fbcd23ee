#include "views/StaffDrawer.h"

#include <algorithm>
#include <limits>
#include <string>

#include "views/StaffBitmaps.h"

namespace {

constexpr std::int32_t kUpperTop = 12;
constexpr std::int32_t kLowerTop = 34; // the grand staff's lower staff, 10 positions down
constexpr SurfaceColor kBlack{0, 0, 0};
constexpr SurfaceColor kRed{255, 0, 0};
constexpr SurfaceColor kGridGrey{192, 192, 192};
constexpr std::int32_t kNoRow = std::numeric_limits<std::int32_t>::min();

// Key-signature signs in positions below the staff's top line, in writing order.
struct KeyPositions {
    std::int8_t flats[6];
    std::int8_t sharps[6];
};
constexpr KeyPositions kTrebleKey{{3, 6, 2, 5, 1, 4}, {0, 3, -1, 2, 5, 1}};
constexpr KeyPositions kBassKey{{5, 8, 4, 7, 3, 6}, {2, 5, 1, 4, 7, 3}};
constexpr KeyPositions kAltoKey{{4, 7, 3, 6, 2, 5}, {1, 4, 0, 3, 6, 2}};
constexpr KeyPositions kTenorKey{{2, 5, 1, 4, 0, 3}, {6, 2, 5, 1, 4, 0}};

const KeyPositions& KeyTable(std::int32_t clef, bool lowerStaff) {
    if (lowerStaff || clef == 2)
        return kBassKey;
    if (clef == 3)
        return kAltoKey;
    if (clef == 4)
        return kTenorKey;
    return kTrebleKey;
}

std::string Glyph(char c) {
    return std::string(1, c);
}

} // namespace

struct StaffDrawer::Context {
    DrawSurface& surface;
    const MeasureDrawInfo& measure;
    const StaffDrawRequest& request;
    StaffDrawResult& result;
    std::int32_t top;
    std::int32_t noteX = 0; // start of the note area
    std::int32_t noteWidth = 1;
    SurfacePen staffPen, stemPen, beamPen;

    std::int32_t XOf(std::int32_t tick) const {
        const std::int64_t length = std::max(measure.length, 1);
        return noteX +
               static_cast<std::int32_t>(static_cast<std::int64_t>(tick) * noteWidth / length);
    }
};

StaffDrawer::StaffDrawer(DrawSurface& fontSurface, double xScale, double yScale)
    : xScale_(xScale), yScale_(yScale),
      height_(static_cast<std::int32_t>(4000 * yScale)), small_{"Vorlan", ScaleY(220), 400},
      large_{"VorlanB", ScaleY(1400), 400}, number_{"Arial", ScaleX(120), 400},
      timeSig_{"Arial", ScaleX(200), 700}, text_{"Times New Roman", ScaleX(160), 400},
      anchors_(static_cast<std::size_t>(kTieIdCount)) {
    fontSurface.SetFont(small_);
    // Dotted heads take the width of their plain head: the dot hangs out to the right.
    const char plain[5] = {'A', 'A', 'C', 'C', 'E'};
    for (std::size_t i = 0; i < 5; ++i)
        headWidth_[i] = fontSurface.GetTextExtent(Glyph(plain[i])).width;
    tripletWidth_ = fontSurface.GetTextExtent("I").width;
    ClearLyricRows();
}

void StaffDrawer::DrawHead(DrawSurface& surface, std::int32_t x, std::int32_t y,
                           std::int32_t headCode, SurfaceColor color) const {
    const SurfaceColor saved = surface.TextColor();
    surface.SetFont(small_);
    surface.SetTextColor(color);
    surface.TextOut(x, y, Glyph(static_cast<char>('A' + std::clamp(headCode, 0, 4))));
    surface.SetTextColor(saved);
}

void StaffDrawer::ClearLyricRows() {
    lyricRight_.fill(kNoRow);
}

std::int32_t StaffDrawer::NoteAreaWidth(std::int32_t shortestType) const {
    const std::size_t i = static_cast<std::size_t>(std::clamp(shortestType, 0, kDurationTypeCount));
    return ScaleX(staff_tables::kNoteAreaWidth[i]);
}

std::int32_t StaffDrawer::HeadWidth(std::int32_t headCode) const {
    return headWidth_[static_cast<std::size_t>(std::clamp(headCode, 0, 4))];
}

void StaffDrawer::Line(DrawSurface& s, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                       std::int32_t y1) {
    s.MoveTo(x0, y0);
    s.LineTo(x1, y1);
}

void StaffDrawer::DrawMeasure(DrawSurface& surface, std::int32_t& x, const MeasureDrawInfo& measure,
                              const StaffDrawRequest& request, StaffDrawResult& result) {
    result = StaffDrawResult();
    Context c{surface,
              measure,
              request,
              result,
              request.systemTop,
              0,
              1,
              {std::max(1, ScaleX(8)), kBlack, PenStyle::Solid},
              {std::max(1, ScaleX(10)), kBlack, PenStyle::Solid},
              {std::max(1, ScaleX(30)), kBlack, PenStyle::Solid}};
    const bool grand = measure.clef == 0;
    const std::int32_t topLine = PositionY(kUpperTop, c.top);
    const std::int32_t bottomLine = PositionY(grand ? kLowerTop + 8 : kUpperTop + 8, c.top);

    std::int32_t header = DrawHeader(c, x);
    if (request.fromTick > 0) {
        surface.DrawBitmap(x + header, topLine, CutMarkerBitmap(grand));
        header += 4 + ScaleX(kLeftGap / 2);
    }
    c.noteX = x + header + ScaleX(kLeftGap);
    c.noteWidth = request.forcedWidth >= 0 ? request.forcedWidth - ScaleX(kLeftGap) - header
                                           : NoteAreaWidth(measure.shortestType);
    c.noteWidth = std::max(c.noteWidth, 1);
    const std::int32_t right = c.noteX + c.noteWidth;

    surface.SetTextColor(kBlack);
    surface.SetFont(number_);
    surface.TextOut(c.noteX, topLine - ScaleY(20), std::to_string(measure.measureNumber + 1));

    surface.SetPen(c.staffPen);
    for (std::int32_t staffTop : {kUpperTop, kLowerTop}) {
        if (staffTop == kLowerTop && !grand)
            break;
        for (std::int32_t p = staffTop; p <= staffTop + 8; p += 2)
            Line(surface, x, PositionY(p, c.top), right, PositionY(p, c.top));
    }
    result.noteAreaX = c.noteX;
    result.fromTickX = c.XOf(request.fromTick);

    if (request.gridStep > 0) {
        surface.SetPen({1, kGridGrey, PenStyle::Dot});
        const std::int32_t step = std::max(request.gridStep, measure.length / 4096 + 1);
        for (std::int32_t t = 0; t < measure.length; t += step)
            Line(surface, c.XOf(t), topLine, c.XOf(t), bottomLine);
    }
    if (measure.firstAfterStart)
        ClearLyricRows();
    beamEnds_.clear();

    for (const DrawItemInfoList& column : measure.columns) {
        for (const DrawItemInfo* item : column) {
            switch (item->kind) {
            case kItemNote:
                DrawNote(c, *static_cast<const NoteDrawItem*>(item));
                break;
            case kItemRest:
                DrawRest(c, *static_cast<const RestDrawItem*>(item));
                break;
            case kItemText:
                DrawText(c, *static_cast<const TextDrawItem*>(item));
                break;
            case kItemSymbol:
                DrawSymbol(c, *static_cast<const SymbolDrawItem*>(item));
                break;
            default:
                break;
            }
        }
    }

    x = right;
    surface.SetPen(c.staffPen);
    Line(surface, x, topLine, x, bottomLine);
}

std::int32_t StaffDrawer::DrawHeader(Context& c, std::int32_t x) {
    DrawSurface& s = c.surface;
    const MeasureDrawInfo& m = c.measure;
    const bool grand = m.clef == 0;
    std::int32_t header = 0;
    s.SetTextColor(kBlack);
    if (c.request.drawHeader) {
        char clef = 'A';
        std::int32_t line = 18; // fourth line from the top
        switch (m.clef) {
        case 2:
            clef = 'B';
            line = 14;
            break;
        case 3:
            clef = 'C';
            line = 16;
            break;
        case 4:
            clef = 'C';
            line = 14;
            break;
        case 5:
            clef = 'D';
            break;
        default:
            break;
        }
        s.SetFont(large_);
        s.TextOut(x + ScaleX(kClefX), PositionY(line, c.top), Glyph(clef));
        if (grand) {
            s.TextOut(x + ScaleX(kClefX), PositionY(kLowerTop + 2, c.top), "B");
            const std::int32_t top = PositionY(kUpperTop, c.top);
            const std::int32_t bottom = PositionY(kLowerTop + 8, c.top);
            s.SetPen(c.beamPen);
            Line(s, x + ScaleX(15), top, x + ScaleX(15), bottom);
            s.SetPen(c.staffPen);
            Line(s, x + ScaleX(60), top, x + ScaleX(60), bottom);
        }
        header = ScaleX(kHeaderWidth);
    }
    if (m.keySigChanged) {
        const std::int32_t key = m.signature.key;
        const std::int32_t signs = std::min(key < 0 ? -key : key, 6);
        const std::string sign = key < 0 ? "G" : "H";
        s.SetFont(small_);
        const std::int32_t advance = s.GetTextExtent(sign).width;
        for (int staff = 0; staff < (grand ? 2 : 1); ++staff) {
            const KeyPositions& table = KeyTable(m.clef, staff == 1);
            const std::int32_t staffTop = staff == 1 ? kLowerTop : kUpperTop;
            std::int32_t sx = x + header;
            for (std::int32_t i = 0; i < signs; ++i) {
                const std::int32_t offset = key < 0 ? table.flats[i] : table.sharps[i];
                s.TextOut(sx, PositionY(staffTop + offset, c.top) + ScaleY(30), sign);
                sx += advance;
            }
        }
        header += signs * advance;
    }
    if (m.timeSigChanged) {
        s.SetFont(timeSig_);
        const std::string numerator = std::to_string(m.signature.numerator);
        const std::string denominator = std::to_string(m.signature.denominator);
        const std::int32_t centre = x + header + ScaleX(kLeftGap / 2);
        const std::int32_t nw = s.GetTextExtent(numerator).width;
        const std::int32_t dw = s.GetTextExtent(denominator).width;
        for (std::int32_t staffTop : {kUpperTop, kLowerTop}) {
            if (staffTop == kLowerTop && !grand)
                break;
            s.TextOut(centre - nw / 2, PositionY(staffTop + 4, c.top), numerator);
            s.TextOut(centre - dw / 2, PositionY(staffTop + 8, c.top), denominator);
        }
        header += ScaleX(kTimeSigWidth);
    }
    return header;
}

void StaffDrawer::DrawNote(Context& c, const NoteDrawItem& note) {
    DrawSurface& s = c.surface;
    if (!IsValidDurationType(note.durationType))
        return;
    const std::size_t type = static_cast<std::size_t>(note.durationType);
    const std::int32_t headCode = staff_tables::kHeadCode[type];
    const std::int32_t headW = HeadWidth(headCode);
    const std::int32_t headX = c.XOf(note.time) - headW / 2;
    const std::int32_t y = PositionY(note.position, c.top);
    const std::int32_t tick = c.measure.startTick + note.time;
    const bool selected = c.request.selectionStart >= 0 && tick >= c.request.selectionStart &&
                          tick <= c.request.selectionEnd;

    s.SetFont(small_);
    const SurfaceColor saved = s.TextColor();
    if (selected)
        s.SetTextColor(kRed);
    s.TextOut(headX, y, Glyph(static_cast<char>('A' + headCode)));
    if (note.accidental >= kAccNatural && note.accidental <= kAccSharp)
        s.TextOut(headX - ScaleX(50), y + ScaleY(30),
                  Glyph(static_cast<char>('E' + note.accidental)));
    if (selected)
        s.SetTextColor(saved);

    DrawStemAndBeams(c, note, headX, y);

    if (note.ledger > 1 || note.ledger < -1) {
        s.SetPen(c.staffPen);
        const std::int32_t step = note.ledger > 0 ? 1 : -1;
        for (std::int32_t p = note.position; p != note.position + note.ledger; p += step)
            if (p % 2 == 0)
                Line(s, headX - ScaleX(25), PositionY(p, c.top), headX + headW + ScaleX(25),
                     PositionY(p, c.top));
    }
    DrawTie(c, note, headX, y);

    if (note.msgIndex >= 0) {
        if (note.time == c.request.currentTime && note.msgIndex == c.request.currentIndex) {
            c.result.currentFound = true;
            c.result.currentX = headX - c.noteX;
            c.result.currentY = y;
            c.result.currentHeadCode = headCode;
        }
        if (c.request.notePosition)
            c.request.notePosition({headX, y - ScaleY(40), headX + headW, y + ScaleY(40)}, tick,
                                   note.msgIndex);
    }
}

void StaffDrawer::DrawStemAndBeams(Context& c, const NoteDrawItem& note, std::int32_t headX,
                                   std::int32_t y) {
    if (!note.HasStem() || note.durationType == kDurWhole)
        return;
    DrawSurface& s = c.surface;
    const std::size_t type = static_cast<std::size_t>(note.durationType);
    const bool up = note.StemUp();
    const std::int32_t headW = HeadWidth(staff_tables::kHeadCode[type]);
    const std::int32_t stemX = up ? headX + headW - c.stemPen.width : headX + c.stemPen.width / 2;
    const std::int32_t endY = PositionY(note.stemEnd, c.top);
    s.SetPen(c.stemPen);
    Line(s, stemX, y, stemX, endY);

    const bool tripletMark = staff_tables::kTripletMark[type] != 0;
    const auto markTriplet = [&] {
        s.TextOut(stemX - tripletWidth_ / 2, up ? endY - ScaleY(20) : endY + ScaleY(100), "I");
    };
    if (note.beamId < 0) {
        const std::int32_t flag = staff_tables::kFlagCode[type];
        if (flag >= 0)
            s.TextOut(stemX, up ? endY + ScaleY(160) : endY - ScaleY(40),
                      Glyph(static_cast<char>('J' + flag + (up ? 0 : 1))));
        if (tripletMark)
            markTriplet();
        return;
    }

    // Beam lines run back to the previous stem of the same beam, the outermost at the
    // stem end and the others two positions nearer the heads.
    const std::int32_t spacing = ScaleY(80) * (up ? 1 : -1);
    auto previous = std::find_if(beamEnds_.begin(), beamEnds_.end(),
                                 [&](const BeamEnd& e) { return e.id == note.beamId; });
    s.SetPen(c.beamPen);
    if (previous != beamEnds_.end()) {
        for (std::int32_t level = 0; level < note.beamCount; ++level)
            Line(s, previous->x, previous->y + level * spacing, stemX, endY + level * spacing);
    } else if (note.flags & NoteDrawItem::kTripletBeam) {
        markTriplet();
        s.SetPen(c.beamPen);
    }
    const std::int32_t first = std::max<std::int32_t>(note.beamCount, 0);
    for (std::int32_t level = first; level < first + note.partialBeamCount; ++level)
        Line(s, stemX, endY + level * spacing, stemX + note.partialBeamSide * headW,
             endY + level * spacing);
    if (previous != beamEnds_.end())
        *previous = {note.beamId, stemX, endY};
    else
        beamEnds_.push_back({note.beamId, stemX, endY});
}

void StaffDrawer::DrawTie(Context& c, const NoteDrawItem& note, std::int32_t headX,
                          std::int32_t y) {
    const std::int32_t anchorY = y - ScaleY(30);
    if (note.tieEnd >= 0 && note.tieEnd < kTieIdCount) {
        const TieAnchor& anchor = anchors_[static_cast<std::size_t>(note.tieEnd)];
        if (anchor.measure >= 0 && anchor.measure == c.measure.measureNumber - 1) {
            // A tie from the previous line comes in from the left of this note, but not
            // over the header.
            const bool sameLine = anchor.systemTop == c.top && anchor.x < headX;
            const std::int32_t ax =
                sameLine ? anchor.x : std::max(headX - ScaleX(300), c.noteX - ScaleX(kLeftGap));
            const std::int32_t ay = sameLine ? anchor.y : anchorY;
            std::int32_t right = headX + ScaleX(100);
            if (right < ax)
                right = ax + ScaleX(400);
            c.surface.SetPen(c.staffPen);
            c.surface.Arc(ax, ay, right, ay + ScaleY(180), right, ay, ax, ay);
        }
    }
    if (note.tieStart >= 0 && note.tieStart < kTieIdCount)
        anchors_[static_cast<std::size_t>(note.tieStart)] = {headX, anchorY,
                                                             c.measure.measureNumber, c.top};
}

void StaffDrawer::DrawRest(Context& c, const RestDrawItem& rest) {
    if (!IsValidDurationType(rest.durationType))
        return;
    // The sixty-fourth rests have their own characters: "P" and "Q" are eighth flags.
    char glyph = static_cast<char>('P' + rest.durationType);
    if (rest.durationType == kDur64th)
        glyph = 'd';
    else if (rest.durationType == kDurDotted64th)
        glyph = 'e';
    c.surface.SetFont(small_);
    const std::string text = Glyph(glyph);
    const std::int32_t width = c.surface.GetTextExtent(text).width;
    const bool onLine = rest.durationType == kDurHalf || rest.durationType == kDurDottedHalf;
    c.surface.TextOut(c.XOf(rest.time) - width / 2,
                      PositionY(onLine ? rest.position : rest.position + 2, c.top), text);
}

void StaffDrawer::DrawText(Context& c, const TextDrawItem& text) {
    DrawSurface& s = c.surface;
    s.SetFont(text_);
    const std::int32_t x = c.XOf(text.time) - ScaleX(20);
    std::size_t row = 0;
    for (std::size_t r = 0; r < kLyricRows; ++r)
        if (lyricRight_[r] <= x) {
            row = r;
            break;
        }
    s.TextOut(x, PositionY(text.position + 4 + 4 * static_cast<std::int32_t>(row), c.top),
              text.text);
    lyricRight_[row] = x + s.GetTextExtent(text.text).width;
}

void StaffDrawer::DrawSymbol(Context& c, const SymbolDrawItem& symbol) {
    if (symbol.symbol < kSymbolPedalDown || symbol.symbol > kSymbolAudioCue)
        return;
    c.surface.SetFont(small_);
    c.surface.TextOut(c.XOf(symbol.time) - ScaleX(100), PositionY(symbol.position, c.top),
                      Glyph(static_cast<char>('a' + symbol.symbol)));
}
