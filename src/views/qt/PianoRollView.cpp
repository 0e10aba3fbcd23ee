#include "views/qt/PianoRollView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>
#include <vector>

#include "model/Song.h"
#include "views/PianoRollPrinter.h"
#include "views/PianoRollSettingsChoice.h"
#include "views/qt/PianoRollSettingsDialog.h"
#include "views/qt/QtDrawSurface.h"

namespace {

constexpr int kScrollBarWidth = 18;
const QColor kPlayBarColor(0, 90, 255);
const QColor kActiveFrame(70, 130, 220);
// How many notes from the start decide where the keyboard first shows.
constexpr int kNotesToCentre = 200;

} // namespace

PianoRollView::PianoRollView(Song& song, CommandProcessor& commands, ViewCallbacks callbacks,
                             const ViewFilter& filter, const ViewPlacement& placement,
                             const SubWindowMaker& strip, int tooltipLevel, QWidget* parent)
    : NoteView(song, commands, std::move(callbacks), filter, placement, strip, tooltipLevel,
               parent) {
    vertical_ = MakeVerticalBar();
    vertical_->setObjectName("keyboardScroll");
    setMouseTracking(true);
    RefreshStrip();
}

PianoRollView::~PianoRollView() = default;

int PianoRollView::GridRight() const {
    return std::max(width() - kScrollBarWidth, PianoRollDrawer::kKeyboardWidth + 1);
}

std::int32_t PianoRollView::TicksPerQuarter() const {
    return song_.TicksPerQuarter();
}

std::int32_t PianoRollView::FirstVisibleTick() const {
    return callbacks_.scrollTime ? callbacks_.scrollTime() : 0;
}

std::int32_t PianoRollView::LastVisibleTick() const {
    const std::int64_t width = GridRight() - PianoRollDrawer::kKeyboardWidth;
    const std::int64_t ticks = width * song_.TicksPerQuarter() /
                               std::max<std::int32_t>(Options().quarterNoteDisplayLength, 1);
    return static_cast<std::int32_t>(std::min<std::int64_t>(FirstVisibleTick() + ticks, kEndTick));
}

std::int32_t PianoRollView::SnapTicks() const {
    return static_cast<std::int32_t>(SnapTo() * 4 * song_.TicksPerQuarter());
}

PianoRollDrawer::Request PianoRollView::MakeRequest() {
    PianoRollDrawer::Request request;
    request.area = PianoRollDrawer::Rect{0, ContentTop(), GridRight(), ContentBottom()};
    request.firstTime = FirstVisibleTick();
    request.firstRow = vertical_->value();
    request.lookBack = std::max(longest_, 0);
    if (const auto& selection = Editor().GetSelection()) {
        request.selectionStart = selection->start;
        request.selectionEnd = selection->end;
    }
    if (Editor().HasPosition() && Editor().Current()) {
        request.currentTick = Editor().CurrentTime();
        request.currentIndex = static_cast<std::int32_t>(Editor().Position().MsgIter().Index());
    }
    request.colorMode = Options().colorMode;
    // The window's "Show Lyrics" switch hides texts whatever the track's options say.
    request.showTexts =
        Options().showLyrics != 0 && (!callbacks_.showLyrics || callbacks_.showLyrics());
    return request;
}

void PianoRollView::Refresh() {
    NoteView::Refresh();
}

void PianoRollView::resizeEvent(QResizeEvent* event) {
    NoteView::resizeEvent(event);
    vertical_->setGeometry(width() - kScrollBarWidth, ContentTop(), kScrollBarWidth,
                           std::max(ContentBottom() - ContentTop(), 1));
    const int rows = std::max((ContentBottom() - ContentTop()) / drawer_.Sizes().keyHeight, 1);
    vertical_->setRange(0, std::max(PianoRollDrawer::kWhiteRows - rows, 0));
    vertical_->setPageStep(rows);
    if (rowsPlaced_ || ContentBottom() - ContentTop() <= 0)
        return;
    // The keyboard first shows where the first notes are, middle C without any.
    rowsPlaced_ = true;
    std::vector<int> pitches;
    ViewFilter notes = filter_;
    notes.SetKind(kMsgNote);
    SongIter it(song_, &notes);
    for (bool ok = it.Seek(0); ok && pitches.size() < kNotesToCentre; ok = it.Next())
        pitches.push_back(static_cast<const MidiMsgNote*>(it.Msg())->key);
    int pitch = 60;
    if (!pitches.empty()) {
        std::nth_element(pitches.begin(), pitches.begin() + pitches.size() / 2, pitches.end());
        pitch = pitches[pitches.size() / 2];
    }
    vertical_->setValue(PianoRollDrawer::WhiteRow(pitch) - rows / 2);
}

void PianoRollView::Settings() {
    if (!MayChangeOptions())
        return;
    PianoRollSettingsChoice choice = PianoRollSettingsChoice::From(Options());
    if (!PianoRollSettingsDialog::Ask(this, choice))
        return;
    ViewOptions options = Options();
    choice.ApplyTo(options);
    StoreOptions(options);
}

std::unique_ptr<PagePainter> PianoRollView::MakePrinter() {
    return std::make_unique<PianoRollPrinter>(song_, filter_, Options());
}

std::optional<std::int32_t> PianoRollView::TimeAt(int x, bool snap) const {
    return drawer_.XToTime(x, snap ? SnapTicks() : 0);
}

std::optional<int> PianoRollView::PitchAt(int y, std::int32_t /*tick*/) const {
    return drawer_.YToPitch(y);
}

// A press within the last few pixels of a note whose end shows takes its end.
std::optional<NoteHit> PianoRollView::NoteAt(int x, int y) const {
    const std::optional<PianoRollDrawer::NoteBar> bar = drawer_.BarAt(x, y);
    if (!bar)
        return std::nullopt;
    constexpr int kEndPixels = 3, kShortest = 8;
    const bool end = bar->endShown && bar->rect.right - bar->rect.left >= kShortest &&
                     x >= bar->rect.right - kEndPixels;
    return NoteHit{bar->tick, bar->msgIndex, end};
}

std::optional<std::int32_t> PianoRollView::TickToViewX(std::int32_t tick) const {
    if (tick < FirstVisibleTick())
        return std::nullopt;
    return drawer_.TimeToX(tick);
}

std::optional<std::int32_t> PianoRollView::ViewXToTick(std::int32_t x) const {
    return drawer_.XToTime(x);
}

void PianoRollView::ClearPreview() {
    preview_.reset();
}

void PianoRollView::PrepareMouse() {
    drawer_.SetRequest(MakeRequest());
}

// The bar a click would put: at the snapped time and the key under the mouse, as long as
// a new note.
void PianoRollView::UpdatePreview(int x, int y) {
    std::optional<QRect> place;
    const bool wanted = callbacks_.showNotePlacement && callbacks_.showNotePlacement();
    if (wanted && IsActive() && y >= ContentTop() && y < ContentBottom() && x < GridRight()) {
        const std::optional<std::int32_t> time = TimeAt(x, true);
        const std::optional<int> pitch = PitchAt(y, 0);
        if (time && pitch) {
            const int left = drawer_.TimeToX(*time);
            const int right = std::max(drawer_.TimeToX(*time + Editor().NewNoteLength()), left + 1);
            place =
                QRect(left, drawer_.PitchTop(*pitch), right - left, drawer_.Sizes().keyHeight - 1);
        }
    }
    if (place != preview_) {
        preview_ = place;
        update();
    }
}

void PianoRollView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (ContentBottom() <= ContentTop())
        return;
    if (longest_ < 0 || longestLevel_ != ChangeLevel()) {
        longest_ = PianoRollDrawer::LongestNote(song_, &filter_);
        longestLevel_ = ChangeLevel();
    }
    drawer_.SetScale(Options().quarterNoteDisplayLength, 1.0, song_.TicksPerQuarter());
    {
        QtDrawSurface surface(painter);
        drawer_.Paint(song_, &filter_, surface, MakeRequest());
    }
    const int top = ContentTop(), bottom = ContentBottom();
    if (PlayBar() >= FirstVisibleTick() && PlayBar() <= LastVisibleTick()) {
        const int x = drawer_.TimeToX(PlayBar());
        painter.setPen(QPen(kPlayBarColor, 2));
        painter.drawLine(x, top, x, bottom - 1);
    }
    PaintFeedback(painter);
    if (IsActive()) {
        painter.setPen(QPen(kActiveFrame, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(1, top + 1, GridRight() - 2, bottom - top - 2));
    }
    if (keepCurrentVisible_) {
        keepCurrentVisible_ = false;
        const MidiMsgNote* note = Editor().CurrentNote();
        const int rows = vertical_->pageStep();
        if (note) {
            const int row = PianoRollDrawer::WhiteRow(note->key);
            if (row < vertical_->value() || row >= vertical_->value() + rows - 1)
                vertical_->setValue(row - rows / 2); // paints again
        }
    }
}

void PianoRollView::PaintFeedback(QPainter& painter) {
    const NoteMouse::Feedback& drag = Mouse().Current();
    const int k = drawer_.Sizes().keyHeight;
    painter.setBrush(Qt::NoBrush);
    if (drag.band) {
        const int left = std::max(drawer_.TimeToX(drag.from), drawer_.Grid().left);
        const int right = std::min(drawer_.TimeToX(drag.to), GridRight());
        painter.fillRect(
            QRect(left, ContentTop(), std::max(right - left, 1), ContentBottom() - ContentTop()),
            QColor(70, 130, 220, 50));
    }
    const MidiMsgNote* note = Editor().CurrentNote();
    if (note && (drag.drag || drag.resize)) {
        painter.setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
        const int length = std::max(drawer_.TimeToX(Editor().CurrentTime() + note->duration) -
                                        drawer_.TimeToX(Editor().CurrentTime()),
                                    1);
        if (drag.drag) {
            // Where the dragged note would go: its bar under the pointer.
            if (const auto pitch = PitchAt(drag.y, 0))
                painter.drawRect(QRect(drag.x, drawer_.PitchTop(*pitch), length, k - 2));
        } else {
            const int left = drawer_.TimeToX(Editor().CurrentTime());
            painter.drawRect(
                QRect(left, drawer_.PitchTop(note->key), std::max(drag.x - left, 1), k - 2));
        }
    }
    if (preview_ && !Mouse().Held())
        painter.fillRect(*preview_, QColor(255, 0, 0, 110));
}

void PianoRollView::ShowCurrentNote() {
    if (!Editor().HasPosition())
        return;
    const std::int32_t tick = Editor().CurrentTime();
    if ((tick < FirstVisibleTick() || tick > LastVisibleTick()) && callbacks_.scrollToShow)
        callbacks_.scrollToShow(tick);
    keepCurrentVisible_ = true;
    update();
}
