#include "views/qt/SubWindow.h"

#include <QMouseEvent>

#include "util/Messages.h"

SubWindow::SubWindow(Song& song, ViewCallbacks callbacks, QWidget* parent)
    : QWidget(parent), song_(song), callbacks_(std::move(callbacks)) {
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

SubWindow::~SubWindow() = default;

void SubWindow::ShowPlayBar(std::int32_t tick) {
    if (tick == playBar_)
        return;
    playBar_ = tick;
    update();
}

void SubWindow::Settings() {
    ShowMessage(kAppTitle, "No settings for this view.", MessageIcon::Information);
}

void SubWindow::SetActive(bool active) {
    if (active_ == active)
        return;
    active_ = active;
    update();
}

void SubWindow::mousePressEvent(QMouseEvent* event) {
    // A click in a view that is not the active one only makes it active.
    if (!active_ && callbacks_.activate) {
        callbacks_.activate(*this);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
