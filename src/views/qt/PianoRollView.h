#pragma once

#include <optional>

#include "model/ViewOptions.h"
#include "views/NoteMouse.h"
#include "views/PianoRollDrawer.h"
#include "views/qt/NoteView.h"

class QScrollBar;

// A view that shows its notes as bars on a keyboard grid from the song window's scroll
// position on: the current note and the selection outlined in red, the play bar in
// blue. The vertical scroll bar moves along the keyboard.
class PianoRollView : public NoteView {
    Q_OBJECT
public:
    PianoRollView(Song& song, CommandProcessor& commands, ViewCallbacks callbacks,
                  const ViewFilter& filter, const ViewPlacement& placement,
                  const SubWindowMaker& strip, int tooltipLevel, QWidget* parent = nullptr);
    ~PianoRollView() override;

    int ViewKind() const override { return kPianoRoll; }
    std::int32_t FirstVisibleTick() const override;
    std::int32_t LastVisibleTick() const override;
    void Refresh() override;
    void Settings() override;
    std::unique_ptr<PagePainter> MakePrinter() override;

    // The drawer of the last paint: where each note's bar lies, for tests and scripts.
    const PianoRollDrawer& Drawer() const { return drawer_; }
    QScrollBar* VerticalBar() const { return vertical_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void ShowCurrentNote() override;
    int DrawingRight() const override { return GridRight(); }
    void UpdatePreview(int x, int y) override;
    void ClearPreview() override;
    void PrepareMouse() override;
    std::optional<std::int32_t> TickToViewX(std::int32_t tick) const override;
    std::optional<std::int32_t> ViewXToTick(std::int32_t x) const override;

private:
    // NoteMouseView, in view coordinates.
    std::optional<std::int32_t> TimeAt(int x, bool snap) const override;
    std::optional<int> PitchAt(int y, std::int32_t tick) const override;
    std::optional<NoteHit> NoteAt(int x, int y) const override;
    bool MovesPitchIntoKey() const override { return false; }
    std::int32_t TicksPerQuarter() const override;

    // The request for the view's present size and scroll positions.
    PianoRollDrawer::Request MakeRequest();
    std::int32_t SnapTicks() const;
    void PaintFeedback(QPainter& painter);
    int GridRight() const;

    PianoRollDrawer drawer_;
    QScrollBar* vertical_ = nullptr;
    // The longest note the filter shows, for notes that start left of the view; -1 until
    // known.
    std::int32_t longest_ = -1;
    std::int32_t longestLevel_ = 0;
    bool rowsPlaced_ = false;
    bool keepCurrentVisible_ = false;
    // Where a click would put a note: its bar.
    std::optional<QRect> preview_;
};
