#pragma once

#include <QImage>

#include "model/ViewOptions.h"
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

    const StaffScreen& Screen() const { return screen_; }
    int VerticalStep() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void ShowCurrentNote() override;

private:
    const ViewOptions& Options() const;
    int StaffWidth() const;

    StaffScreen screen_;
    QImage image_;
    QScrollBar* vertical_ = nullptr;
    ViewOptions defaults_;
    bool painted_ = false;
    bool keepCurrentVisible_ = false;
};
