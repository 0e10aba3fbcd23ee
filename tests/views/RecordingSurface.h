#pragma once

#include <string>
#include <vector>

#include "views/DrawSurface.h"

// A drawing surface that keeps every call, for tests. Texts measure half their font
// height per character.
class RecordingSurface : public DrawSurface {
public:
    struct Op {
        enum Kind { Line, Arc, Text, Bitmap, Fill } kind = Line;
        std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0; // line ends, arc box, text or bitmap place
        std::int32_t sx = 0, sy = 0, ex = 0, ey = 0; // arc start and end rays
        std::string text;
        SurfaceFont font;
        SurfacePen pen;
        SurfaceColor color; // of texts and fills
    };

    void SetPen(const SurfacePen& pen) override { pen_ = pen; }
    void MoveTo(std::int32_t x, std::int32_t y) override {
        x_ = x;
        y_ = y;
    }
    void LineTo(std::int32_t x, std::int32_t y) override;
    void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
             std::int32_t xStart, std::int32_t yStart, std::int32_t xEnd,
             std::int32_t yEnd) override;
    void SetFont(const SurfaceFont& font) override { font_ = font; }
    void SetTextColor(SurfaceColor color) override { color_ = color; }
    SurfaceColor TextColor() const override { return color_; }
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override;
    TextExtent GetTextExtent(std::string_view text) override;
    void DrawBitmap(std::int32_t x, std::int32_t y, const SurfaceBitmap& bitmap) override;
    void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                  SurfaceColor color) override;

    // Texts drawn in a font face, in drawing order.
    std::vector<Op> Texts(const std::string& face) const;
    std::vector<Op> Lines(std::int32_t penWidth) const;
    std::vector<Op> OfKind(Op::Kind kind) const;

    std::vector<Op> ops;

private:
    SurfacePen pen_;
    SurfaceFont font_;
    SurfaceColor color_;
    std::int32_t x_ = 0, y_ = 0;
};
