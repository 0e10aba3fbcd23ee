#pragma once

#include <QImage>

#include "model/ViewOptions.h"
#include "views/NoteMouse.h"
#include "views/StaffScreen.h"
#include "views/qt/NoteView.h"

class QScrollBar;

// A view that shows its tracks in common music notation, one row of measures from the
// song window's scroll position on, with the current note and the selection in red and
// the play bar in blue.
class StaffView : public NoteView {
    Q_OBJECT
public:
    StaffView(Song& song, CommandProcessor& commands, ViewCallbacks callbacks,
              const ViewFilter& filter, const ViewPlacement& placement, const SubWindowMaker& strip,
              int tooltipLevel, QWidget* parent = nullptr);
    ~StaffView() override;

    int ViewKind() const override { return kStaff; }
    std::int32_t FirstVisibleTick() const override;
    std::int32_t LastVisibleTick() const override;
    void Refresh() override;
    void Settings() override;
    std::unique_ptr<PagePainter> MakePrinter() override;

    const StaffScreen& Screen() const { return screen_; }
    int VerticalStep() const;
    // The y of the staff area's top in the view (below the strip).
    int StaffTop() const { return ContentTop(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void ShowCurrentNote() override;
    int DrawingRight() const override { return StaffWidth(); }
    void UpdatePreview(int x, int y) override;
    void ClearPreview() override;
    std::optional<std::int32_t> TickToViewX(std::int32_t tick) const override;
    std::optional<std::int32_t> ViewXToTick(std::int32_t x) const override;

private:
    // NoteMouseView, in view coordinates.
    std::optional<std::int32_t> TimeAt(int x, bool snap) const override;
    std::optional<int> PitchAt(int y, std::int32_t tick) const override;
    std::optional<NoteHit> NoteAt(int x, int y) const override;
    bool MovesPitchIntoKey() const override { return true; }
    std::int32_t TicksPerQuarter() const override;
    std::int32_t GridStep() const;

    ViewFilter ShownFilter() const;
    ViewOptions ShownOptions() const;
    int StaffWidth() const;

    StaffScreen screen_;
    QImage image_;
    QScrollBar* vertical_ = nullptr;
    bool painted_ = false;
    bool keepCurrentVisible_ = false;
    // The note-placement preview: where a click would put a note.
    std::optional<QPoint> preview_;
};
