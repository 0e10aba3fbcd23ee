#include "views/qt/MidiMsgView.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QWheelEvent>

#include "views/MidiMsgDisplay.h"

namespace {

const QColor kGrid(115, 147, 13);

} // namespace

MidiMsgView::MidiMsgView(Song& song, ViewCallbacks callbacks, const ViewFilter& filter,
                         const ViewPlacement& placement, int tooltipLevel, QWidget* parent)
    : BasicView(song, std::move(callbacks), filter, placement, nullptr, tooltipLevel, parent) {
    // Every kind of event has its row.
    filter_.SetKind(kAllKinds);
    vertical_ = new QScrollBar(Qt::Vertical, this);
    vertical_->setFocusPolicy(Qt::NoFocus);
    vertical_->setRange(0, 10000);
    connect(vertical_, &QScrollBar::valueChanged, this, [this] { update(); });
    RefreshStrip();
}

void MidiMsgView::Refresh() {
    RefreshStrip();
    update();
}

void MidiMsgView::resizeEvent(QResizeEvent* event) {
    vertical_->setGeometry(width() - 18, ContentTop(), 18, std::max(height() - ContentTop(), 1));
    BasicView::resizeEvent(event);
}

void MidiMsgView::wheelEvent(QWheelEvent* event) {
    vertical_->setValue(vertical_->value() - event->angleDelta().y() / 40);
}

std::int32_t MidiMsgView::FirstVisibleTick() const {
    return firstTick_;
}

std::int32_t MidiMsgView::LastVisibleTick() const {
    return lastTick_;
}

void MidiMsgView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const std::int32_t start = callbacks_.scrollTime ? callbacks_.scrollTime() : 0;
    const std::vector<MidiMsgRow> rows = MidiMsgRows::Build(
        song_, &filter_, start, vertical_->value(), ContentTop(), width(), height());
    firstTick_ = rows.empty() ? start : rows.front().songTick;
    lastTick_ = rows.empty() ? start : rows.back().songTick;
    painter.setFont(QFont("Arial", 9));
    for (const MidiMsgRow& row : rows) {
        painter.setPen(kGrid);
        painter.drawRect(QRect(0, row.y, row.width - 1, MidiMsgRows::kRowHeight - 1));
        for (const MidiMsgRow::Cell& cell : row.cells) {
            const QRect box(cell.x + 4, row.y, std::max(cell.width - 6, 0),
                            MidiMsgRows::kRowHeight);
            painter.setPen(Qt::black);
            painter.drawText(box, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                             QString::fromStdString(cell.text));
            painter.setPen(kGrid);
            const int edge = cell.x + cell.width;
            painter.drawLine(edge, row.y, edge, row.y + MidiMsgRows::kRowHeight - 1);
        }
    }
    const QColor frame = IsActive() ? QApplication::palette().color(QPalette::Highlight) : kGrid;
    painter.setPen(QPen(frame, IsActive() ? 2 : 1));
    painter.drawRect(rect().adjusted(0, ContentTop(), -1, -1));
}
