#include "views/qt/ControllerBand.h"

#include <QMouseEvent>
#include <QPainter>

#include "views/qt/QtDrawSurface.h"

ControllerBand::ControllerBand(QWidget* parent, Song& song, const ViewFilter& filter,
                               ControllerViewHost& host, std::function<bool()> mayEdit)
    : QWidget(parent), graph_(song, filter, host), mayEdit_(std::move(mayEdit)) {
    // Not marked opaque: Qt leaves opaque children out when their parent repaints, and
    // the graph must follow every scroll and edit of the view it shares its time with.
    setObjectName("controllerGraph");
}

void ControllerBand::resizeEvent(QResizeEvent* event) {
    graph_.SetRect(ControllerView::Rect{0, 0, width(), height()});
    QWidget::resizeEvent(event);
}

void ControllerBand::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(250, 250, 244));
    if (const auto span = graph_.DragSpan())
        painter.fillRect(QRect(span->first, 0, span->second - span->first, height()),
                         QColor(200, 220, 255));
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(0, 0, width(), 0);
    painter.drawLine(graph_.LabelRight() - 1, 0, graph_.LabelRight() - 1, height());
    QtDrawSurface surface(painter);
    graph_.Paint(surface);
}

void ControllerBand::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || (mayEdit_ && !mayEdit_()))
        return;
    const QPoint at = event->position().toPoint();
    graph_.Press(at.x(), at.y());
    update();
}

void ControllerBand::mouseMoveEvent(QMouseEvent* event) {
    if (!graph_.Held())
        return;
    const QPoint at = event->position().toPoint();
    graph_.Move(at.x(), at.y());
    update();
}

void ControllerBand::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !graph_.Held())
        return;
    const QPoint at = event->position().toPoint();
    graph_.Release(at.x(), at.y());
    update();
}
