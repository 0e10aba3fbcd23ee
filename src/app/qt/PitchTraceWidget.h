#pragma once

#include <QFrame>

#include "record/PitchTrace.h"

// The frame in which the pitch of a take being recorded is drawn as it comes in.
class PitchTraceWidget : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 200;

    explicit PitchTraceWidget(QWidget* parent = nullptr);
    // False once the display holds all it keeps.
    bool Add(const FrequencyAnalysisSegment& frame);
    const PitchTrace& Trace() const { return trace_; }
    QSize sizeHint() const override { return {kWidth, kHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    PitchTrace trace_;
};
