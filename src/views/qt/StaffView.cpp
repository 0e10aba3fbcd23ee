#include "views/qt/StaffView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

#include "edit/NoteLength.h"
#include "model/Song.h"
#include "views/StaffPrinter.h"
#include "views/StaffSettingsChoice.h"
#include "views/qt/QtDrawSurface.h"
#include "views/qt/StaffDrawSettingsDialog.h"

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
    vertical_ = MakeVerticalBar();
    vertical_->setRange(0, StaffScreen::kMaxScrollSteps);
    vertical_->setPageStep(4);
    setMouseTracking(true);
    RefreshStrip();
}

StaffView::~StaffView() = default;

int StaffView::StaffWidth() const {
    return std::max(width() - kScrollBarWidth, 1);
}

int StaffView::VerticalStep() const {
    return vertical_->value();
}

void StaffView::resizeEvent(QResizeEvent* event) {
    vertical_->setGeometry(width() - kScrollBarWidth, ContentTop(), kScrollBarWidth,
                           std::max(ContentBottom() - ContentTop(), 1));
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

// "Staff Settings": for the first track (whose options the view uses), or every track;
// one change of the song that can be undone.
void StaffView::Settings() {
    if (!MayChangeOptions())
        return;
    StaffSettingsChoice choice = StaffSettingsChoice::From(Options());
    if (!StaffDrawSettingsDialog::Ask(this, choice))
        return;
    ViewOptions options = Options();
    choice.ApplyTo(options);
    StoreOptions(options);
}

// Editing moves among notes, but the staff also shows what goes with them: lyrics, texts
// and the pedal.
ViewFilter StaffView::ShownFilter() const {
    ViewFilter shown = filter_;
    shown.SetKind(kAllKinds);
    return shown;
}

// The window's "Show Lyrics" switch hides lyrics whatever the track's options say.
ViewOptions StaffView::ShownOptions() const {
    ViewOptions shown = Options();
    if (callbacks_.showLyrics && !callbacks_.showLyrics())
        shown.showLyrics = 0;
    return shown;
}

std::unique_ptr<PagePainter> StaffView::MakePrinter() {
    return std::make_unique<StaffPrinter>(song_, ShownFilter(), Options());
}

std::int32_t StaffView::TicksPerQuarter() const {
    return song_.TicksPerQuarter();
}

// The staff's snap grid is the length of a new note, as its dotted lines show.
std::int32_t StaffView::GridStep() const {
    return NoteLength::NewNoteTicks(NoteLengthState{Editor().Lengths().button, false, false},
                                    song_.TicksPerQuarter());
}

std::optional<std::int32_t> StaffView::TimeAt(int x, bool snap) const {
    if (!painted_)
        return std::nullopt;
    return screen_.XToTime(x, snap ? GridStep() : 0);
}

std::optional<std::int32_t> StaffView::TickToViewX(std::int32_t tick) const {
    return painted_ ? screen_.TimeToX(tick) : std::nullopt;
}

std::optional<std::int32_t> StaffView::ViewXToTick(std::int32_t x) const {
    return painted_ ? screen_.XToTime(x) : std::nullopt;
}

std::optional<int> StaffView::PitchAt(int y, std::int32_t tick) const {
    if (!painted_)
        return std::nullopt;
    const std::optional<std::int32_t> position =
        screen_.YToPosition(y - ContentTop(), vertical_->value());
    if (!position)
        return std::nullopt;
    const TimeAndKeySignature& sig =
        song_.SignatureAtMeasure(song_.TickToMusicalTime(std::max(tick, 0)).measure);
    const std::int32_t pitch = screen_.PositionToPitch(*position, sig.key, sig.mode);
    if (pitch < 0 || pitch > 127)
        return std::nullopt;
    return pitch;
}

std::optional<NoteHit> StaffView::NoteAt(int x, int y) const {
    if (!painted_)
        return std::nullopt;
    if (const std::optional<NoteSpot> spot = screen_.SpotAt(x, y - ContentTop()))
        return NoteHit{spot->tick, spot->msgIndex};
    return std::nullopt;
}

void StaffView::ClearPreview() {
    preview_.reset();
}

// The red head that shows where a click would put a note: at the snapped time and the
// staff position under the mouse.
void StaffView::UpdatePreview(int x, int y) {
    std::optional<QPoint> place;
    const bool wanted = callbacks_.showNotePlacement && callbacks_.showNotePlacement();
    if (wanted && painted_ && IsActive() && y >= ContentTop() && x < StaffWidth()) {
        const std::optional<std::int32_t> time = TimeAt(x, true);
        const std::optional<std::int32_t> position =
            screen_.YToPosition(y - ContentTop(), vertical_->value());
        if (time && position)
            if (const auto px = screen_.TimeToX(*time))
                place =
                    QPoint(*px, ContentTop() + screen_.PositionToY(*position, vertical_->value()));
    }
    if (place != preview_) {
        preview_ = place;
        update();
    }
}

void StaffView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const int top = ContentTop();
    const int w = StaffWidth();
    const int h = std::min(ContentBottom() - top, StaffScreen::kContentHeight);
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
        const ViewFilter shown = ShownFilter();
        screen_.Paint(song_, &shown, ShownOptions(), surface, request);
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
    if (preview_ && !Mouse().Held()) {
        QFont font("Vorlan");
        font.setPixelSize(screen_.Drawer() ? screen_.Drawer()->SmallFont().height : 22);
        painter.setFont(font);
        painter.setPen(Qt::red);
        painter.drawText(*preview_, "A");
    }
    if (const NoteMouse::Feedback& drag = Mouse().Current(); drag.drag) {
        // Where the dragged note would go: its head at the pointer's staff place.
        if (const auto position = screen_.YToPosition(drag.y - top, vertical_->value())) {
            QFont font("Vorlan");
            font.setPixelSize(screen_.Drawer() ? screen_.Drawer()->SmallFont().height : 22);
            painter.setFont(font);
            painter.setPen(QColor(200, 0, 0, 160));
            painter.drawText(
                QPoint(drag.x, top + screen_.PositionToY(*position, vertical_->value())), "A");
        }
    }
    if (IsActive()) {
        painter.setPen(QPen(kActiveFrame, 2));
        painter.drawRect(QRect(1, top + 1, w - 2, ContentBottom() - top - 2));
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
