#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/ViewFilter.h"
#include "model/ViewOptions.h"
#include "views/MeasureDrawInfo.h"
#include "views/PagePainter.h"
#include "views/PageTitles.h"
#include "views/StaffArranger.h"
#include "views/StaffDrawer.h"

#include <string>

class Song;

// The view a printout of one track (1-based; 0 for every track) stands for: that track
// alone with its options, or all tracks with the first track's options (defaults while
// the song has none). False with a message when the track does not exist.
bool ChoosePrintTracks(const Song& song, int track, ViewFilter& filter, ViewOptions& options,
                       std::string& error);

// Prints the staff of a view: measures laid out into lines as wide as the page, lines
// into pages under the song's titles; broken lines are stretched to the page width.
// Counting the pages keeps only where each page starts and how many measures each of
// its lines holds; a page's measures are arranged again when it is painted, so that the
// memory used does not grow with the song.
class StaffPrinter : public PagePainter {
public:
    static constexpr const char* kPageLimitKey = "MaxPrintPages";
    static constexpr std::int32_t kDefaultPageLimit = 10000;

    using MeasureDrawInfoList = std::vector<std::unique_ptr<MeasureDrawInfo>>;
    using MeasureDrawInfoListList = std::vector<MeasureDrawInfoList>;

    StaffPrinter(Song& song, const ViewFilter& filter, const ViewOptions& options);
    ~StaffPrinter() override;

    // 0 with Refusal() set when the song would take more pages than the limit.
    std::int32_t CountPages(std::int32_t pageWidth, std::int32_t pageHeight,
                            std::int32_t pixelsPerCmX, std::int32_t pixelsPerCmY) override;
    void PaintPage(std::int32_t page, DrawSurface& surface) override;

    // "Cannot print this song:\n\nIt is 12 measures long and would take at least 3
    // pages; ...": the refusal of a song longer than the page limit.
    static std::string TooLong(std::int64_t measures, const std::string& pages, std::int32_t limit);
    // The most pages a printout may take; the "MaxPrintPages" setting unless set here.
    void SetPageLimit(std::int32_t pages) { pageLimit_ = pages; }
    std::int32_t PageLimit() const { return pageLimit_; }
    // Why CountPages gave no pages: "Cannot print this song:\n\nIt is ...". Empty when
    // it did not refuse.
    std::string Refusal() const override { return refusal_; }
    // The lines of a page (counted from 1) with their measures' drawing widths, after
    // CountPages; empty for a page that does not exist. They stay valid until the next
    // page is arranged or painted.
    MeasureDrawInfoListList ArrangePage(std::int32_t page);

    // One design unit is 1/1200 inch at printout scale 1; the scales grow by 0.1% steps
    // until 700 units come out close to whole pixels.
    static void ComputeScales(std::int32_t pixelsPerCmX, std::int32_t pixelsPerCmY,
                              double printoutScale, double& xScale, double& yScale);
    static std::int32_t PixelsPerCentimetre(std::int32_t pixelsPerInch);
    // The width a measure takes before lines are stretched.
    static std::int32_t NaturalWidth(const MeasureDrawInfo& measure, bool lineStart, double xScale);

    double XScale() const { return xScale_; }
    double YScale() const { return yScale_; }
    std::int32_t PageWidth() const { return pageWidth_; }
    std::int32_t TitleLineHeight() const { return titleHeight_; }
    std::int32_t StaffLineHeight() const { return staffHeight_; }

private:
    struct LineIndex {
        std::int32_t measures = 0;
        bool broken = false; // stretched to the page width
    };
    struct PageIndex {
        StaffArranger::Position start;
        std::vector<LineIndex> lines;
    };

    void Paginate(std::int32_t pageHeight);
    // True when even the fullest pages could not hold the song within the limit.
    bool Refuse(std::int32_t pageHeight);
    std::int32_t ReservedHeight() const;
    // The next measure as the line it starts or continues places it.
    std::unique_ptr<MeasureDrawInfo> NextMeasure(bool lineStart, std::int32_t& width);

    Song& song_;
    ViewFilter filter_;
    ViewOptions options_;
    StaffArranger arranger_;
    std::int32_t pageCount_ = -1;
    double xScale_ = 1.0;
    double yScale_ = 1.0;
    std::int32_t pageWidth_ = 0;
    std::int32_t titleHeight_ = 0;
    std::int32_t staffHeight_ = 0;
    std::unique_ptr<PageTitles> titles_;
    std::unique_ptr<StaffDrawer> drawer_;
    std::vector<PageIndex> index_;
    std::int32_t pageLimit_ = kDefaultPageLimit;
    std::string refusal_;
};
