#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The drawing operations notation needs, so that layout and drawing can run against
// a painter on screen, paper or image, or against a recorder in tests. Coordinates are
// device units, y downwards.

struct SurfaceColor {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const SurfaceColor&) const = default;
};

enum class PenStyle { Solid, Dot };

struct SurfacePen {
    std::int32_t width = 1;
    SurfaceColor color;
    PenStyle style = PenStyle::Solid;
    bool operator==(const SurfacePen&) const = default;
};

struct SurfaceFont {
    std::string face;
    std::int32_t height = 0; // em height in device units
    std::int32_t weight = 400;
    bool operator==(const SurfaceFont&) const = default;
};

struct TextExtent {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// A small picture drawn unscaled, one 0xAARRGGBB value per pixel, rows top to bottom.
struct SurfaceBitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

class DrawSurface {
public:
    virtual ~DrawSurface() = default;

    virtual void SetPen(const SurfacePen& pen) = 0;
    virtual void MoveTo(std::int32_t x, std::int32_t y) = 0;
    // Draws with the current pen from the current point, which then moves there.
    virtual void LineTo(std::int32_t x, std::int32_t y) = 0;
    // Part of the ellipse inside the box, counter-clockwise (as seen on the page) from
    // where the ray from its centre toward (xStart, yStart) meets it to where the ray
    // toward (xEnd, yEnd) does.
    virtual void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                     std::int32_t xStart, std::int32_t yStart, std::int32_t xEnd,
                     std::int32_t yEnd) = 0;

    virtual void SetFont(const SurfaceFont& font) = 0;
    virtual void SetTextColor(SurfaceColor color) = 0;
    virtual SurfaceColor TextColor() const = 0;
    // Text with its baseline at y, transparent background. Texts are UTF-8; bytes that
    // are not are read as Latin-1.
    virtual void TextOut(std::int32_t x, std::int32_t y, std::string_view text) = 0;
    // Advance width and line height of a text in the current font.
    virtual TextExtent GetTextExtent(std::string_view text) = 0;

    virtual void DrawBitmap(std::int32_t x, std::int32_t y, const SurfaceBitmap& bitmap) = 0;

    // Fills the pixels from (left, top) up to, not including, (right, bottom). Surfaces
    // that cannot fill draw it a row at a time with a one-pixel pen of the colour,
    // which stays the pen.
    virtual void FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom, SurfaceColor color) {
        if (right <= left)
            return;
        SetPen(SurfacePen{1, color, PenStyle::Solid});
        for (std::int32_t y = top; y < bottom; ++y) {
            MoveTo(left, y);
            LineTo(right, y);
        }
    }
};
