#include "views/StaffPrinter.h"

#include <algorithm>
#include <cmath>
#include <memory_resource>
#include <string>

#include "model/Song.h"
#include "model/SongExtent.h"
#include "util/INIFile.h"

namespace {

constexpr double kUnitsPerCentimetre = 472.4409448818898; // 1200 per inch

std::int32_t Truncate(double value) {
    return static_cast<std::int32_t>(value);
}

std::string TooLong(std::int64_t measures, const std::string& pages, std::int32_t limit) {
    return "Cannot print this song:\n\nIt is " + std::to_string(measures) +
           " measures long and would take " + pages + " pages; the limit is " +
           std::to_string(limit) + " pages (setting \"" + StaffPrinter::kPageLimitKey + "\").";
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
    : song_(song), filter_(filter), options_(options) {
    if (INIFile* ini = INIFile::Global())
        pageLimit_ = static_cast<std::int32_t>(ini->ReadInt(kPageLimitKey, kDefaultPageLimit));
}

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
        if (!text->text.Displayed().empty())
            lines.push_back(&text->text);
    return lines;
}

std::int32_t StaffPrinter::ReservedHeight() const {
    // Titles, the subtitles there are and one empty line stand above the staves.
    return (2 + static_cast<std::int32_t>(Subtitles().size())) * titleHeight_;
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
    index_.clear();
    refusal_.clear();
    if (!Refuse(pageHeight))
        Paginate(pageHeight);
    pageCount_ = static_cast<std::int32_t>(index_.size());
    return pageCount_;
}

bool StaffPrinter::Refuse(std::int32_t pageHeight) {
    // The narrowest a measure can be and the most lines a page can take give the fewest
    // pages the song could need: known before any measure is arranged.
    std::int32_t narrowest = pageWidth_;
    for (std::int32_t type = 0; type <= kDurationTypeCount; ++type) {
        MeasureDrawInfo blank(std::pmr::null_memory_resource());
        blank.shortestType = type;
        narrowest = std::min(narrowest, NaturalWidth(blank, false, xScale_));
    }
    const std::int64_t perLine = pageWidth_ / std::max(narrowest, 1) + 1;
    const std::int64_t perPage =
        std::max<std::int64_t>((pageHeight - ReservedHeight()) / std::max(staffHeight_, 1), 0) + 1;
    const SongExtent extent = SongExtent::Of(song_);
    const std::int64_t fewest = (extent.measures + perLine * perPage - 1) / (perLine * perPage);
    if (fewest <= pageLimit_)
        return false;
    refusal_ = TooLong(extent.measures, "at least " + std::to_string(fewest), pageLimit_);
    return true;
}

std::unique_ptr<MeasureDrawInfo> StaffPrinter::NextMeasure(bool lineStart, std::int32_t& width) {
    std::unique_ptr<MeasureDrawInfo> measure = arranger_.ArrangeNextMeasure();
    // Every line starts with clef and key signature.
    if (lineStart)
        measure->keySigChanged = true;
    width = NaturalWidth(*measure, lineStart, xScale_);
    if (lineStart)
        width = std::min(width, pageWidth_);
    return measure;
}

void StaffPrinter::Paginate(std::int32_t pageHeight) {
    arranger_.Configure(options_);
    arranger_.Start(song_, &filter_, 0);
    const std::int32_t reserved = ReservedHeight();
    while (true) {
        if (static_cast<std::int32_t>(index_.size()) == pageLimit_) {
            refusal_ = TooLong(SongExtent::Of(song_).measures,
                               "more than " + std::to_string(pageLimit_), pageLimit_);
            index_.clear();
            return;
        }
        PageIndex& page = index_.emplace_back();
        page.start = arranger_.SavePosition();
        std::int32_t available = pageHeight - reserved;
        // A page always takes a line, however small it is, so that printing ends.
        while ((available > staffHeight_ || page.lines.empty()) && !arranger_.Finished()) {
            LineIndex& line = page.lines.emplace_back();
            std::int64_t total = 0;
            while (!arranger_.Finished()) {
                const StaffArranger::Position before = arranger_.SavePosition();
                std::int32_t width = 0;
                std::unique_ptr<MeasureDrawInfo> measure = NextMeasure(line.measures == 0, width);
                const bool full = line.measures > 0 &&
                                  total + NaturalWidth(*measure, false, xScale_) > pageWidth_;
                measure.reset();
                arranger_.ReleaseItems();
                if (full) {
                    // It starts the next line instead.
                    arranger_.RestorePosition(before);
                    line.broken = total > 0;
                    break;
                }
                total += width;
                ++line.measures;
            }
            available -= staffHeight_;
        }
        if (arranger_.Finished())
            break;
    }
}

StaffPrinter::MeasureDrawInfoListList StaffPrinter::ArrangePage(std::int32_t page) {
    MeasureDrawInfoListList lines;
    if (page < 1 || static_cast<std::size_t>(page) > index_.size())
        return lines;
    const PageIndex& index = index_[static_cast<std::size_t>(page - 1)];
    arranger_.RestorePosition(index.start);
    for (const LineIndex& entry : index.lines) {
        MeasureDrawInfoList& line = lines.emplace_back();
        std::int64_t total = 0;
        for (std::int32_t i = 0; i < entry.measures; ++i) {
            std::int32_t width = 0;
            line.push_back(NextMeasure(i == 0, width));
            line.back()->drawingWidth = width;
            total += width;
        }
        if (entry.broken && total > 0)
            for (auto& measure : line)
                measure->drawingWidth = static_cast<std::int32_t>(
                    static_cast<std::int64_t>(measure->drawingWidth) * pageWidth_ / total);
    }
    return lines;
}

void StaffPrinter::PaintPage(std::int32_t page, DrawSurface& surface) {
    if (page < 1 || static_cast<std::size_t>(page) > index_.size())
        return;
    if (!drawer_)
        drawer_ = std::make_unique<StaffDrawer>(surface, xScale_, yScale_);
    surface.SetTextColor({0, 0, 0});
    // Each title line's baseline sits a fifth of the line above its bottom.
    std::int32_t lineTop = 0;
    auto centred = [&](const SurfaceFont& font, std::string_view text) {
        const std::string shown(text);
        SurfaceFont fitted = font;
        surface.SetFont(fitted);
        std::int32_t width = surface.GetTextExtent(shown).width;
        // A title wider than the page is set smaller until it fits, so that nothing of
        // it is cut at the edges.
        for (int tries = 0; width > pageWidth_ && fitted.height > 1 && tries < 8; ++tries) {
            fitted.height = std::max<std::int32_t>(
                1, static_cast<std::int32_t>(static_cast<std::int64_t>(fitted.height) * pageWidth_ /
                                             width));
            surface.SetFont(fitted);
            width = surface.GetTextExtent(shown).width;
        }
        surface.TextOut(std::max((pageWidth_ - width) / 2, 0), lineTop + titleHeight_ * 4 / 5,
                        shown);
        lineTop += titleHeight_;
    };
    const std::string_view title = song_.title.text.Displayed();
    centred(titleFont_, title.empty() ? std::string_view("Untitled") : title);
    for (const AString* subtitle : Subtitles())
        centred(subtitleFont_, subtitle->Displayed());
    lineTop += titleHeight_;

    std::int32_t systemTop = lineTop;
    for (const MeasureDrawInfoList& line : ArrangePage(page)) {
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
