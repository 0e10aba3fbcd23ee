#include "views/qt/StaffView.h"

#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

#include "edit/NoteLength.h"
#include "model/Song.h"
#include "views/qt/QtDrawSurface.h"

namespace {

constexpr int kScrollBarWidth = 18;
const QColor kPlayBarColor(0, 90, 255);
const QColor kActiveFrame(70, 130, 220);

} // namespace

StaffView::StaffView(Song& song, CommandProcessor& commands, ViewCallbacks callbacks,
                     const ViewFilter& filter, const ViewPlacement& placement,
                     const SubWindowMaker& strip, int tooltipLevel, QWidget* parent)
    : NoteView(song, commands, std::move(callbacks), filter, placement, strip, tooltipLevel,
               parent) {
    vertical_ = new QScrollBar(Qt::Vertical, this);
    vertical_->setRange(0, StaffScreen::kMaxScrollSteps);
    vertical_->setPageStep(4);
    vertical_->setFocusPolicy(Qt::NoFocus);
    connect(vertical_, &QScrollBar::valueChanged, this, [this] { update(); });
    RefreshStrip();
}

StaffView::~StaffView() = default;

const ViewOptions& StaffView::Options() const {
    const Track* first = song_.GetTrack(0);
    return first ? first->options : defaults_;
}

int StaffView::StaffWidth() const {
    return std::max(width() - kScrollBarWidth, 1);
}

int StaffView::VerticalStep() const {
    return vertical_->value();
}

void StaffView::resizeEvent(QResizeEvent* event) {
    vertical_->setGeometry(width() - kScrollBarWidth, ContentTop(), kScrollBarWidth,
                           std::max(height() - ContentTop(), 1));
    NoteView::resizeEvent(event);
}

std::int32_t StaffView::FirstVisibleTick() const {
    return painted_ ? screen_.FirstShownTick()
                    : (callbacks_.scrollTime ? callbacks_.scrollTime() : 0);
}

std::int32_t StaffView::LastVisibleTick() const {
    if (painted_)
        return screen_.LastShownTick();
    // Not painted yet: a screen is good for a couple of bars at least.
    return FirstVisibleTick() + 8 * song_.TicksPerQuarter();
}

void StaffView::Refresh() {
    NoteView::Refresh();
}

void StaffView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const int top = ContentTop();
    const int w = StaffWidth();
    const int h = std::min(height() - top, StaffScreen::kContentHeight);
    if (h <= 0)
        return;

    const QSize imageSize(StaffScreen::ImageWidth(w), StaffScreen::kContentHeight);
    if (image_.size() != imageSize)
        image_ = QImage(imageSize, QImage::Format_RGB32);
    image_.fill(Qt::white);

    StaffScreen::Request request;
    request.scrollTime = callbacks_.scrollTime ? callbacks_.scrollTime() : 0;
    request.width = w;
    request.scrollStep = vertical_->value();
    request.gridStep = NoteLength::NewNoteTicks(
        NoteLengthState{Editor().Lengths().button, false, false}, song_.TicksPerQuarter());
    if (const auto& selection = Editor().GetSelection()) {
        request.selectionStart = selection->start;
        request.selectionEnd = selection->end;
    }
    if (Editor().HasPosition() && Editor().Current()) {
        request.currentTick = Editor().CurrentTime();
        request.currentIndex = static_cast<std::int32_t>(Editor().Position().MsgIter().Index());
    }
    {
        // Lines on screen are whole pixels and nearly all straight across or up: smoothing
        // them costs more than the whole rest of a paint and shows nothing.
        QPainter imagePainter(&image_);
        imagePainter.setRenderHint(QPainter::TextAntialiasing);
        QtDrawSurface surface(imagePainter);
        screen_.Paint(song_, &filter_, Options(), surface, request);
    }
    painted_ = true;

    const StaffScreen::Cut& cut = screen_.GetCut();
    painter.drawImage(QPoint(0, top), image_, QRect(0, 0, cut.headerEnd, h));
    painter.drawImage(QPoint(cut.headerEnd, top), image_,
                      QRect(cut.cutFrom, 0, std::max(w - cut.headerEnd, 0), h));

    if (PlayBar() >= 0) {
        if (const auto x = screen_.TimeToX(PlayBar())) {
            painter.setPen(QPen(kPlayBarColor, 2));
            painter.drawLine(*x, top, *x, top + h);
        }
    }
    if (keepCurrentVisible_) {
        keepCurrentVisible_ = false;
        if (screen_.CurrentShown() && screen_.CurrentRect().bottom > h) {
            const int steps =
                (screen_.CurrentRect().bottom - h) / StaffScreen::kScrollStepPixels + 2;
            vertical_->setValue(vertical_->value() + steps); // paints again
        }
    }
    if (IsActive()) {
        painter.setPen(QPen(kActiveFrame, 2));
        painter.drawRect(QRect(1, top + 1, w - 2, height() - top - 2));
    }
}

void StaffView::ShowCurrentNote() {
    if (!Editor().HasPosition())
        return;
    // Sideways: the window scrolls so that the note's beat shows.
    const std::int32_t tick = Editor().CurrentTime();
    if (painted_ && (tick < FirstVisibleTick() || tick > LastVisibleTick()) &&
        callbacks_.scrollToShow)
        callbacks_.scrollToShow(tick);
    // Down: far enough that the note and a little below it show, once it is painted.
    keepCurrentVisible_ = true;
    update();
}
