#pragma once

#include <QDialog>

#include "views/StaffSettingsChoice.h"

class QCheckBox;
class QComboBox;
class QScrollBar;
class QSpinBox;

// "Staff Settings": clef, grand-staff split, time-group merge, beam tolerance, printout
// scale and which texts show, for the view's track or every track.
class StaffDrawSettingsDialog : public QDialog {
    Q_OBJECT
public:
    StaffDrawSettingsDialog(QWidget* parent, const StaffSettingsChoice& choice);
    StaffSettingsChoice Chosen() const;
    static bool Ask(QWidget* parent, StaffSettingsChoice& choice);

private:
    QComboBox* clef_ = nullptr;
    QComboBox* split_ = nullptr;
    QSpinBox* merge_ = nullptr;
    QSpinBox* beam_ = nullptr;
    QScrollBar* scale_ = nullptr;
    QCheckBox* tempo_ = nullptr;
    QCheckBox* lyrics_ = nullptr;
    QCheckBox* comments_ = nullptr;
    QCheckBox* trackName_ = nullptr;
    QCheckBox* all_ = nullptr;
};
