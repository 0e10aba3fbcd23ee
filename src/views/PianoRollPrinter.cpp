#include "views/PianoRollPrinter.h"

#include <algorithm>
#include <cmath>

#include "model/Song.h"
#include "model/SongIter.h"
#include "util/INIFile.h"
#include "views/StaffPrinter.h"

namespace {

std::int32_t Scaled(std::int32_t screen, double zoom, std::int32_t least = 1) {
    return std::max(static_cast<std::int32_t>(std::lround(screen * zoom)), least);
}

// Where the last shown event ends, notes' lengths included.
std::int64_t ShownEnd(Song& song, const ViewFilter& filter) {
    ViewFilter all = filter;
    all.SetKind(kAllKinds);
    SongIter it(song, &all);
    std::int64_t end = 0;
    for (bool ok = it.Seek(0); ok; ok = it.Next())
        end = std::max(end, std::int64_t{it.Tick()} + std::max(it.Msg()->duration, 0));
    return end;
}

} // namespace

PianoRollPrinter::PianoRollPrinter(Song& song, const ViewFilter& filter, const ViewOptions& options)
    : song_(song), filter_(filter), options_(options), pageLimit_(StaffPrinter::kDefaultPageLimit) {
    if (INIFile* ini = INIFile::Global())
        pageLimit_ = static_cast<std::int32_t>(
            ini->ReadInt(StaffPrinter::kPageLimitKey, StaffPrinter::kDefaultPageLimit));
}

PianoRollPrinter::~PianoRollPrinter() = default;

std::pair<std::int32_t, std::int32_t>
PianoRollPrinter::PitchRange(Song& song, const ViewFilter& filter, std::int32_t pianoType) {
    if (pianoType == 0)
        return {21, 108};
    if (pianoType == 1)
        return {36, 96};
    ViewFilter notes = filter;
    notes.SetKind(kMsgNote);
    SongIter it(song, &notes);
    std::int32_t lowest = 128, highest = -1;
    for (bool ok = it.Seek(0); ok; ok = it.Next()) {
        const std::int32_t key = static_cast<const MidiMsgNote*>(it.Msg())->key;
        lowest = std::min(lowest, key);
        highest = std::max(highest, key);
    }
    if (highest < 0)
        return {48, 71};
    return {lowest - lowest % 12, std::min(highest - highest % 12 + 11, 127)};
}

std::int32_t PianoRollPrinter::CountPages(std::int32_t pageWidth, std::int32_t pageHeight,
                                          std::int32_t pixelsPerCmX, std::int32_t pixelsPerCmY) {
    if (pageCount_ >= 0)
        return pageCount_;
    const double zoomX = std::max(pixelsPerCmX, 1) / kScreenPixelsPerCm * kPaperShrink;
    const double zoomY = std::max(pixelsPerCmY, 1) / kScreenPixelsPerCm * kPaperShrink;
    const PianoRollDrawer::Geometry screen;
    PianoRollDrawer::Geometry paper;
    paper.keyHeight = Scaled(screen.keyHeight, zoomY, 3);
    paper.keyboardWidth = Scaled(screen.keyboardWidth, zoomX);
    paper.penWidth = Scaled(1, zoomX / 2);
    paper.labelRow = Scaled(screen.labelRow, zoomY);
    paper.labelGap = Scaled(screen.labelGap, zoomX);
    paper.beatMark = Scaled(screen.beatMark, zoomY);
    paper.fontHeight = Scaled(screen.fontHeight, zoomY);
    drawer_ = std::make_unique<PianoRollDrawer>(paper);
    drawer_->SetScale(options_.quarterNoteDisplayLength, zoomX, song_.TicksPerQuarter());

    std::tie(low_, high_) = PitchRange(song_, filter_, options_.printPianoType);
    const std::int32_t rows =
        PianoRollDrawer::WhiteRow(low_) - PianoRollDrawer::WhiteRow(high_) + 1;
    numberRow_ = paper.fontHeight * 3 / 2;
    systemHeight_ = numberRow_ + rows * paper.keyHeight + 1 + paper.keyHeight;
    titles_ = std::make_unique<PageTitles>(song_, std::max(pixelsPerCmY / 2, 1));
    perPage_ = std::max((pageHeight - titles_->Height()) / std::max(systemHeight_, 1), 1);
    longest_ = PianoRollDrawer::LongestNote(song_, &filter_);
    pageWidth_ = std::max(pageWidth, 1);
    refusal_.clear();
    Paginate(std::max(pageWidth - paper.keyboardWidth - 1, 1));
    pageCount_ = static_cast<std::int32_t>((systems_.size() + perPage_ - 1) / perPage_);
    return pageCount_;
}

// Whole bars to a system while they fit; a bar wider than the page goes on over as many
// systems as it takes.
void PianoRollPrinter::Paginate(std::int32_t gridWidth) {
    systems_.clear();
    const std::int64_t end = ShownEnd(song_, filter_);
    const std::int32_t budget =
        std::max(static_cast<std::int32_t>(std::min(gridWidth / drawer_->PixelsPerTick(), 1e9)), 1);
    const std::size_t most = static_cast<std::size_t>(pageLimit_) * perPage_;
    std::int32_t start = 0;
    do {
        if (systems_.size() >= most) {
            systems_.clear();
            const std::int32_t last =
                static_cast<std::int32_t>(std::min<std::int64_t>(end, kEndTick));
            refusal_ = StaffPrinter::TooLong(song_.TickToMusicalTime(last).measure + 1,
                                             "more than " + std::to_string(pageLimit_), pageLimit_);
            return;
        }
        std::int32_t measure = song_.TickToMusicalTime(start).measure;
        std::int64_t stop = start;
        for (std::int64_t next = song_.MeasureToTick(measure + 1);
             next > start && next - start <= budget; next = song_.MeasureToTick(++measure + 1)) {
            stop = next;
            if (next >= end || next >= kEndTick)
                break;
        }
        if (stop == start)
            stop = std::min<std::int64_t>(std::int64_t{start} + budget, kEndTick);
        systems_.push_back(System{start, static_cast<std::int32_t>(stop)});
        start = static_cast<std::int32_t>(stop);
    } while (start < end && start < kEndTick);
}

void PianoRollPrinter::PaintBarNumbers(DrawSurface& surface, const System& system,
                                       std::int32_t top) {
    const PianoRollDrawer::Geometry& g = drawer_->Sizes();
    surface.SetFont(SurfaceFont{"Arial", g.fontHeight, 400});
    surface.SetTextColor(SurfaceColor{0, 0, 0});
    for (std::int32_t measure = song_.TickToMusicalTime(system.start).measure;; ++measure) {
        const std::int32_t at = song_.MeasureToTick(measure);
        if (at >= system.end || at < 0)
            break;
        if (at >= system.start)
            surface.TextOut(drawer_->TimeToX(at) + g.penWidth + 2, top + g.fontHeight,
                            std::to_string(measure + 1));
    }
}

void PianoRollPrinter::PaintPage(std::int32_t page, DrawSurface& surface) {
    if (!drawer_ || page < 1 || page > pageCount_)
        return;
    titles_->Paint(surface, pageWidth_);
    std::int32_t top = titles_->Height();
    const std::size_t first = static_cast<std::size_t>(page - 1) * perPage_;
    const std::size_t last = std::min(first + perPage_, systems_.size());
    const PianoRollDrawer::Geometry& g = drawer_->Sizes();
    for (std::size_t i = first; i < last; ++i) {
        const System& system = systems_[i];
        PianoRollDrawer::Request request;
        const std::int32_t rollTop = top + numberRow_;
        const double width = std::ceil((system.end - system.start) * drawer_->PixelsPerTick());
        request.area = PianoRollDrawer::Rect{
            0, rollTop, g.keyboardWidth + static_cast<std::int32_t>(width) + 1,
            rollTop +
                (PianoRollDrawer::WhiteRow(low_) - PianoRollDrawer::WhiteRow(high_) + 1) *
                    g.keyHeight +
                1};
        request.firstTime = system.start;
        request.firstRow = PianoRollDrawer::WhiteRow(high_);
        request.lookBack = longest_;
        request.colorMode = options_.colorMode;
        request.showTexts = options_.showLyrics != 0;
        drawer_->SetRequest(request);
        PaintBarNumbers(surface, system, top);
        drawer_->Paint(song_, &filter_, surface, request);
        top += systemHeight_;
    }
}
