#include "views/StaffPrinter.h"

#include <algorithm>
#include <cmath>

#include "model/Song.h"

namespace {

constexpr double kUnitsPerCentimetre = 472.4409448818898; // 1200 per inch

std::int32_t Truncate(double value) {
    return static_cast<std::int32_t>(value);
}

} // namespace

bool ChoosePrintTracks(const Song& song, int track, ViewFilter& filter, ViewOptions& options,
                       std::string& error) {
    filter = ViewFilter();
    options = ViewOptions();
    if (track <= 0) {
        if (const Track* first = song.GetTrack(0))
            options = first->options;
        return true;
    }
    const Track* chosen = song.GetTrack(static_cast<std::size_t>(track - 1));
    if (!chosen) {
        error = "Cannot print track " + std::to_string(track) + ":\n\nThe song has " +
                std::to_string(song.TrackCount()) +
                (song.TrackCount() == 1 ? " track." : " tracks.");
        return false;
    }
    filter.ShowOnlyTrack(static_cast<std::size_t>(track - 1));
    options = chosen->options;
    return true;
}

StaffPrinter::StaffPrinter(Song& song, const ViewFilter& filter, const ViewOptions& options)
    : song_(song), filter_(filter), options_(options) {}

StaffPrinter::~StaffPrinter() = default;

std::int32_t StaffPrinter::PixelsPerCentimetre(std::int32_t pixelsPerInch) {
    return Truncate(pixelsPerInch * 0.39370078740157477);
}

void StaffPrinter::ComputeScales(std::int32_t pixelsPerCmX, std::int32_t pixelsPerCmY,
                                 double printoutScale, double& xScale, double& yScale) {
    if (!(printoutScale > 0.0) || printoutScale > 10.0)
        printoutScale = ViewOptions().printoutScale;
    xScale = pixelsPerCmX / kUnitsPerCentimetre * printoutScale;
    yScale = pixelsPerCmY / kUnitsPerCentimetre * printoutScale;
    // Bounded: each step moves 700 x yScale by 0.07%, so a whole number comes soon.
    for (int i = 0; i < 100000; ++i) {
        const double units = 700 * yScale;
        if (units - std::floor(units) <= 0.1)
            break;
        xScale *= 1.001;
        yScale *= 1.001;
    }
}

std::int32_t StaffPrinter::NaturalWidth(const MeasureDrawInfo& measure, bool lineStart,
                                        double xScale) {
    const std::size_t shortest =
        static_cast<std::size_t>(std::clamp(measure.shortestType, 0, kDurationTypeCount));
    std::int32_t width = Truncate(staff_tables::kNoteAreaWidth[shortest] * xScale);
    width = Truncate(width + StaffDrawer::kLeftGap * xScale);
    if (lineStart)
        width = Truncate(width + 400 * xScale);
    if (measure.keySigChanged) {
        const std::int32_t key = measure.signature.key;
        const std::int32_t signs = std::min(key < 0 ? -key : key, 6);
        for (std::int32_t i = 0; i < signs; ++i)
            width = Truncate(width + (key < 0 ? 90 : 105) * xScale);
        width = Truncate(width + 70 * xScale);
    }
    if (measure.timeSigChanged)
        width = Truncate(width + StaffDrawer::kTimeSigWidth * xScale);
    return width;
}

std::vector<const AString*> StaffPrinter::Subtitles() const {
    std::vector<const AString*> lines;
    for (const SongText* text : {&song_.author, &song_.copyright, &song_.instructions})
        if (!text->text.IsEmpty())
            lines.push_back(&text->text);
    return lines;
}

std::int32_t StaffPrinter::CountPages(std::int32_t pageWidth, std::int32_t pageHeight,
                                      std::int32_t pixelsPerCmX, std::int32_t pixelsPerCmY) {
    if (pageCount_ >= 0)
        return pageCount_;
    ComputeScales(pixelsPerCmX, pixelsPerCmY, options_.printoutScale, xScale_, yScale_);
    pageWidth_ = std::max(pageWidth, 1);
    titleHeight_ = Truncate(240 * xScale_);
    titleFont_ = {"Arial", titleHeight_, 700};
    subtitleFont_ = {"Arial", Truncate(0.8 * titleHeight_), 400};
    const bool grand = options_.clefType == kClefGrand || options_.clefType < kClefGrand ||
                       options_.clefType > kClefOctaveTreble;
    staffHeight_ = Truncate((grand ? 1200 : 320) * yScale_) + Truncate(3 * 320 * yScale_);
    Paginate(pageHeight);
    pageCount_ = static_cast<std::int32_t>(pages_.size());
    return pageCount_;
}

void StaffPrinter::Paginate(std::int32_t pageHeight) {
    arranger_.Configure(options_);
    arranger_.Start(song_, &filter_, 0);
    pages_.clear();
    // Titles, the subtitles there are and one empty line stand above the staves.
    const std::int32_t reserved =
        (2 + static_cast<std::int32_t>(Subtitles().size())) * titleHeight_;
    std::unique_ptr<MeasureDrawInfo> held;
    while (true) {
        MeasureDrawInfoListList& page = pages_.emplace_back();
        std::int32_t available = pageHeight - reserved;
        // A page always takes a line, however small it is, so that printing ends.
        while ((available > staffHeight_ || page.empty()) && (held || !arranger_.Finished())) {
            MeasureDrawInfoList& line = page.emplace_back();
            std::int64_t total = 0;
            bool broken = false;
            auto place = [&](std::unique_ptr<MeasureDrawInfo> measure) {
                std::int32_t width = NaturalWidth(*measure, line.empty(), xScale_);
                if (line.empty())
                    width = std::min(width, pageWidth_);
                measure->drawingWidth = width;
                total += width;
                line.push_back(std::move(measure));
            };
            if (held) {
                // The next line starts with clef and key signature.
                held->keySigChanged = true;
                place(std::move(held));
            }
            while (!arranger_.Finished()) {
                std::unique_ptr<MeasureDrawInfo> measure = arranger_.ArrangeNextMeasure();
                if (!line.empty() && total + NaturalWidth(*measure, false, xScale_) > pageWidth_) {
                    held = std::move(measure);
                    broken = true;
                    break;
                }
                place(std::move(measure));
            }
            if (broken && total > 0) {
                for (auto& measure : line)
                    measure->drawingWidth = static_cast<std::int32_t>(
                        static_cast<std::int64_t>(measure->drawingWidth) * pageWidth_ / total);
            }
            available -= staffHeight_;
        }
        if (!held && arranger_.Finished())
            break;
    }
}

void StaffPrinter::PaintPage(std::int32_t page, DrawSurface& surface) {
    if (page < 1 || static_cast<std::size_t>(page) > pages_.size())
        return;
    if (!drawer_)
        drawer_ = std::make_unique<StaffDrawer>(surface, xScale_, yScale_);
    surface.SetTextColor({0, 0, 0});
    // Each title line's baseline sits a fifth of the line above its bottom.
    std::int32_t lineTop = 0;
    auto centred = [&](const SurfaceFont& font, const std::string& text) {
        surface.SetFont(font);
        const std::int32_t width = surface.GetTextExtent(text).width;
        surface.TextOut((pageWidth_ - width) / 2, lineTop + titleHeight_ * 4 / 5, text);
        lineTop += titleHeight_;
    };
    centred(titleFont_,
            song_.title.text.IsEmpty() ? std::string("Untitled") : song_.title.text.str());
    for (const AString* subtitle : Subtitles())
        centred(subtitleFont_, subtitle->str());
    lineTop += titleHeight_;

    std::int32_t systemTop = lineTop;
    for (const MeasureDrawInfoList& line : pages_[static_cast<std::size_t>(page - 1)]) {
        drawer_->ClearLyricRows();
        std::int32_t x = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            StaffDrawRequest request;
            request.systemTop = systemTop;
            request.drawHeader = i == 0;
            request.forcedWidth = line[i]->drawingWidth;
            StaffDrawResult result;
            drawer_->DrawMeasure(surface, x, *line[i], request, result);
        }
        systemTop += staffHeight_;
    }
}
