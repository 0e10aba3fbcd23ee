#include "RecordingSurface.h"

void RecordingSurface::LineTo(std::int32_t x, std::int32_t y) {
    Op op;
    op.kind = Op::Line;
    op.x0 = x_;
    op.y0 = y_;
    op.x1 = x;
    op.y1 = y;
    op.pen = pen_;
    ops.push_back(op);
    x_ = x;
    y_ = y;
}

void RecordingSurface::Arc(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom, std::int32_t xStart, std::int32_t yStart,
                           std::int32_t xEnd, std::int32_t yEnd) {
    Op op;
    op.kind = Op::Arc;
    op.x0 = left;
    op.y0 = top;
    op.x1 = right;
    op.y1 = bottom;
    op.sx = xStart;
    op.sy = yStart;
    op.ex = xEnd;
    op.ey = yEnd;
    op.pen = pen_;
    ops.push_back(op);
}

void RecordingSurface::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    Op op;
    op.kind = Op::Text;
    op.x0 = x;
    op.y0 = y;
    op.text = std::string(text);
    op.font = font_;
    op.color = color_;
    ops.push_back(op);
}

TextExtent RecordingSurface::GetTextExtent(std::string_view text) {
    return {static_cast<std::int32_t>(text.size()) * font_.height / 2, font_.height};
}

void RecordingSurface::DrawBitmap(std::int32_t x, std::int32_t y, const SurfaceBitmap& bitmap) {
    Op op;
    op.kind = Op::Bitmap;
    op.x0 = x;
    op.y0 = y;
    op.x1 = x + bitmap.width;
    op.y1 = y + bitmap.height;
    ops.push_back(op);
}

void RecordingSurface::FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                                std::int32_t bottom, SurfaceColor color) {
    Op op;
    op.kind = Op::Fill;
    op.x0 = left;
    op.y0 = top;
    op.x1 = right;
    op.y1 = bottom;
    op.color = color;
    ops.push_back(op);
}

std::vector<RecordingSurface::Op> RecordingSurface::Texts(const std::string& face) const {
    std::vector<Op> found;
    for (const Op& op : ops)
        if (op.kind == Op::Text && op.font.face == face)
            found.push_back(op);
    return found;
}

std::vector<RecordingSurface::Op> RecordingSurface::Lines(std::int32_t penWidth) const {
    std::vector<Op> found;
    for (const Op& op : ops)
        if (op.kind == Op::Line && op.pen.width == penWidth)
            found.push_back(op);
    return found;
}

std::vector<RecordingSurface::Op> RecordingSurface::OfKind(Op::Kind kind) const {
    std::vector<Op> found;
    for (const Op& op : ops)
        if (op.kind == kind)
            found.push_back(op);
    return found;
}
