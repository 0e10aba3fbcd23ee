#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/ViewFilter.h"
#include "model/ViewOptions.h"
#include "views/PagePainter.h"
#include "views/PageTitles.h"
#include "views/PianoRollDrawer.h"

class Song;

// Prints the piano roll of a view: the song cut into systems of whole bars as wide as
// the page allows, each system the keyboard of the print piano type with its notes and
// the bar numbers above, as many systems to a page as fit under the titles.
class PianoRollPrinter : public PagePainter {
public:
    // Paper shows the roll at this fraction of its size on a 96 dpi screen.
    static constexpr double kPaperShrink = 0.6;
    static constexpr double kScreenPixelsPerCm = 96 / 2.54;

    // A stretch of time printed as one system, [start, end).
    struct System {
        std::int32_t start = 0;
        std::int32_t end = 0;
    };

    PianoRollPrinter(Song& song, const ViewFilter& filter, const ViewOptions& options);
    ~PianoRollPrinter() override;

    std::int32_t CountPages(std::int32_t pageWidth, std::int32_t pageHeight,
                            std::int32_t pixelsPerCmX, std::int32_t pixelsPerCmY) override;
    void PaintPage(std::int32_t page, DrawSurface& surface) override;
    std::string Refusal() const override { return refusal_; }
    void SetPageLimit(std::int32_t pages) { pageLimit_ = pages; }

    // After CountPages.
    const std::vector<System>& Systems() const { return systems_; }
    std::int32_t SystemsPerPage() const { return perPage_; }
    std::int32_t SystemHeight() const { return systemHeight_; }
    const PianoRollDrawer& Drawer() const { return *drawer_; }

    // The lowest and highest pitch printed: 88 keys (A to C), 61 keys (C to C), or the
    // octaves the shown notes lie in.
    static std::pair<std::int32_t, std::int32_t> PitchRange(Song& song, const ViewFilter& filter,
                                                            std::int32_t pianoType);

private:
    void Paginate(std::int32_t gridWidth);
    void PaintBarNumbers(DrawSurface& surface, const System& system, std::int32_t top);

    Song& song_;
    ViewFilter filter_;
    ViewOptions options_;
    std::unique_ptr<PianoRollDrawer> drawer_;
    std::unique_ptr<PageTitles> titles_;
    std::vector<System> systems_;
    std::int32_t pageCount_ = -1;
    std::int32_t pageWidth_ = 1;
    std::int32_t perPage_ = 1;
    std::int32_t systemHeight_ = 0;
    std::int32_t numberRow_ = 0;
    std::int32_t low_ = 0, high_ = 127;
    std::int32_t longest_ = 0;
    std::int32_t pageLimit_;
    std::string refusal_;
};
