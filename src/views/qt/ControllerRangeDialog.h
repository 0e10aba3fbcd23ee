#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "views/ControllerRangeChoice.h"

class QRadioButton;
class QScrollBar;
class QWidget;

// "Controller Range Options": the shapes shown three at a time (the middle one is the
// one chosen, the arrows move along them), a bar each for the start and end levels, the
// two adjustments, and whether the range is only erased or gets the shape.
class ControllerRangeDialog : public QDialog {
    Q_OBJECT
public:
    ControllerRangeDialog(QWidget* parent, const ControllerRangeChoice& choice);
    ControllerRangeChoice Chosen() const;
    void StepShape(int step);

    // The script driver answers the next dialog itself: it does not open then.
    static void AnswerNext(const ControllerRangeChoice& choice);
    static bool Ask(QWidget* parent, ControllerRangeChoice& choice);

private:
    ControllerRangeChoice choice_;
    std::array<QWidget*, 3> previews_{};
    QScrollBar* start_ = nullptr;
    QScrollBar* end_ = nullptr;
    QScrollBar* adjust1_ = nullptr;
    QScrollBar* adjust2_ = nullptr;
    QRadioButton* erase_ = nullptr;
    QRadioButton* apply_ = nullptr;
};
