#pragma once

#include "views/qt/BasicView.h"

class QScrollBar;

// The Message view: the song's events as rows of labelled fields, one row per event the
// filter passes, from the song window's scroll position on.
class MidiMsgView : public BasicView {
    Q_OBJECT
public:
    MidiMsgView(Song& song, ViewCallbacks callbacks, const ViewFilter& filter,
                const ViewPlacement& placement, int tooltipLevel, QWidget* parent = nullptr);

    int ViewKind() const override { return kMessage; }
    void Refresh() override;
    std::int32_t FirstVisibleTick() const override;
    std::int32_t LastVisibleTick() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QScrollBar* vertical_ = nullptr;
    std::int32_t firstTick_ = 0;
    std::int32_t lastTick_ = 0;
};
