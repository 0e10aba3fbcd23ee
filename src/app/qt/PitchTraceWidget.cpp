#include "app/qt/PitchTraceWidget.h"

#include <QPainter>
#include <QPolygon>

namespace {

const QColor kLightRow(192, 192, 192);
const QColor kDarkRow(128, 128, 128);
const QColor kTraceColour(255, 0, 0);

} // namespace

PitchTraceWidget::PitchTraceWidget(QWidget* parent) : QFrame(parent), trace_(kWidth, kHeight) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMinimumSize(kWidth / 2, kHeight / 2);
    setAccessibleName("Pitch");
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

bool PitchTraceWidget::Add(const FrequencyAnalysisSegment& frame) {
    const bool kept = trace_.Add(frame);
    update();
    return kept;
}

void PitchTraceWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    trace_.Resize(contentsRect().width(), contentsRect().height());
}

void PitchTraceWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    painter.translate(area.topLeft());
    for (const PitchTrace::Row& row : trace_.Rows()) {
        painter.setPen(row.light ? kLightRow : kDarkRow);
        painter.drawLine(0, row.y, area.width(), row.y);
    }
    // Each label sits on its row, over the row's line.
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics = painter.fontMetrics();
    for (const PitchTrace::Label& label : trace_.Labels()) {
        const QString text = QString::fromStdString(label.text);
        const QRect box(0, label.y - metrics.height() / 2, metrics.horizontalAdvance(text + ' '),
                        metrics.height());
        painter.fillRect(box, palette().color(QPalette::Base));
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    painter.setPen(QPen(kTraceColour, 2));
    for (const auto& line : trace_.Lines()) {
        QPolygon points;
        for (const PitchTrace::Point& p : line)
            points << QPoint(p.x, p.y);
        painter.drawPolyline(points);
    }
}
