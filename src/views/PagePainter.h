#pragma once

#include <cstdint>
#include <string>

class DrawSurface;

// What a view hands to printing and print preview: it lays itself out into pages once
// and paints any page on request.
class PagePainter {
public:
    virtual ~PagePainter() = default;
    // Page size in device pixels and resolution in pixels per centimetre. The number of
    // pages, or -1 when it cannot be known in advance.
    virtual std::int32_t CountPages(std::int32_t pageWidth, std::int32_t pageHeight,
                                    std::int32_t pixelsPerCmX, std::int32_t pixelsPerCmY) = 0;
    // Pages count from 1.
    virtual void PaintPage(std::int32_t page, DrawSurface& surface) = 0;
    // Why CountPages gave no pages; empty when it did not refuse.
    virtual std::string Refusal() const { return {}; }
};
