#include "views/qt/QtDrawSurface.h"

#include <QImage>
#include <QPainterPath>
#include <QStringDecoder>
#include <cmath>
#include <numbers>

namespace {

QColor ToQColor(SurfaceColor c) {
    return QColor(c.r, c.g, c.b);
}

// Qt measures arcs of an ellipse by the angle of the circle it is stretched from; the
// surface's arcs are bounded by rays from the centre.
double ParametricDegrees(double rayDx, double rayDy, double halfWidth, double halfHeight) {
    const double theta = std::atan2(rayDy, rayDx);
    const double t = std::atan2(halfWidth * std::sin(theta), halfHeight * std::cos(theta));
    return t * 180.0 / std::numbers::pi;
}

} // namespace

QtDrawSurface::QtDrawSurface(QPainter& painter) : painter_(painter) {
    painter_.setBrush(Qt::NoBrush);
    painter_.setBackgroundMode(Qt::TransparentMode);
}

QString QtDrawSurface::ToQString(std::string_view text) {
    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    const auto size = static_cast<qsizetype>(text.size());
    if (ascii)
        return QString::fromLatin1(text.data(), size);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8(QByteArrayView(text.data(), size));
    if (utf8.hasError())
        return QString::fromLatin1(text.data(), size);
    return decoded;
}

void QtDrawSurface::SetPen(const SurfacePen& pen) {
    QPen qpen(ToQColor(pen.color), std::max(pen.width, 1));
    qpen.setCapStyle(Qt::FlatCap);
    if (pen.style == PenStyle::Dot) {
        qpen.setStyle(Qt::DotLine);
        qpen.setCosmetic(true);
    }
    painter_.setPen(qpen);
}

void QtDrawSurface::LineTo(std::int32_t x, std::int32_t y) {
    const QPoint to(x, y);
    painter_.drawLine(position_, to);
    position_ = to;
}

void QtDrawSurface::Arc(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom, std::int32_t xStart, std::int32_t yStart,
                        std::int32_t xEnd, std::int32_t yEnd) {
    const QRectF box(left, top, right - left, bottom - top);
    const double cx = box.center().x(), cy = box.center().y();
    const double a = box.width() / 2, b = box.height() / 2;
    if (a <= 0 || b <= 0)
        return;
    // y grows downwards on the page; angles count counter-clockwise as seen.
    const double from = ParametricDegrees(xStart - cx, cy - yStart, a, b);
    double span = ParametricDegrees(xEnd - cx, cy - yEnd, a, b) - from;
    while (span <= 0)
        span += 360;
    QPainterPath path;
    path.arcMoveTo(box, from);
    path.arcTo(box, from, span);
    painter_.drawPath(path);
}

void QtDrawSurface::SetFont(const SurfaceFont& font) {
    for (std::size_t i = 0; i < fonts_.size(); ++i)
        if (fonts_[i].wanted == font) {
            current_ = i;
            return;
        }
    QFont qfont(QString::fromStdString(font.face));
    qfont.setPixelSize(std::max(font.height, 1));
    qfont.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 100, 900)));
    // Unhinted outlines keep the metrics proportional at every size, which the layout
    // relies on (and PDF output wants).
    qfont.setHintingPreference(QFont::PreferNoHinting);
    CachedFont cached{font, qfont, QFontMetrics(qfont, painter_.device()), {}};
    cached.advance.fill(-1);
    fonts_.push_back(std::move(cached));
    current_ = fonts_.size() - 1;
}

void QtDrawSurface::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    if (fonts_.empty())
        return;
    painter_.setFont(fonts_[current_].font);
    const QPen pen = painter_.pen();
    painter_.setPen(ToQColor(textColor_));
    painter_.drawText(QPoint(x, y), ToQString(text));
    painter_.setPen(pen);
}

TextExtent QtDrawSurface::GetTextExtent(std::string_view text) {
    if (fonts_.empty())
        return {};
    CachedFont& f = fonts_[current_];
    const std::int32_t height = f.metrics.height();
    if (text.size() == 1 && static_cast<unsigned char>(text[0]) < 128) {
        std::int32_t& advance = f.advance[static_cast<unsigned char>(text[0])];
        if (advance < 0)
            advance = f.metrics.horizontalAdvance(QChar(text[0]));
        return {advance, height};
    }
    return {f.metrics.horizontalAdvance(ToQString(text)), height};
}

void QtDrawSurface::DrawBitmap(std::int32_t x, std::int32_t y, const SurfaceBitmap& bitmap) {
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() < static_cast<std::size_t>(bitmap.width) * bitmap.height)
        return;
    const QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width,
                       bitmap.height, bitmap.width * 4, QImage::Format_ARGB32);
    painter_.drawImage(QPoint(x, y), image);
}

void QtDrawSurface::FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                             std::int32_t bottom, SurfaceColor color) {
    if (right > left && bottom > top)
        painter_.fillRect(QRect(left, top, right - left, bottom - top), ToQColor(color));
}
