#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPoint>
#include <array>
#include <vector>

#include "views/DrawSurface.h"

// The drawing surface over a QPainter: screen, image, PDF or printer.
class QtDrawSurface : public DrawSurface {
public:
    explicit QtDrawSurface(QPainter& painter);

    void SetPen(const SurfacePen& pen) override;
    void MoveTo(std::int32_t x, std::int32_t y) override { position_ = QPoint(x, y); }
    void LineTo(std::int32_t x, std::int32_t y) override;
    void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
             std::int32_t xStart, std::int32_t yStart, std::int32_t xEnd,
             std::int32_t yEnd) override;
    void SetFont(const SurfaceFont& font) override;
    void SetTextColor(SurfaceColor color) override { textColor_ = color; }
    SurfaceColor TextColor() const override { return textColor_; }
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override;
    TextExtent GetTextExtent(std::string_view text) override;
    void DrawBitmap(std::int32_t x, std::int32_t y, const SurfaceBitmap& bitmap) override;
    void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                  SurfaceColor color) override;

    static QString ToQString(std::string_view text);

private:
    struct CachedFont {
        SurfaceFont wanted;
        QFont font;
        QFontMetrics metrics;
        std::array<std::int32_t, 128> advance; // single ASCII characters, -1 unknown
    };

    QPainter& painter_;
    QPoint position_;
    SurfaceColor textColor_;
    std::vector<CachedFont> fonts_;
    std::size_t current_ = 0;
};
