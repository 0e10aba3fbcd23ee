#pragma once

#include <QDialog>

#include "views/PianoRollSettingsChoice.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QSlider;
class QWidget;

// "Piano Roll Settings": which texts show, what the notes' colour follows, how long a
// quarter note is drawn (with a preview beside a bar of fixed width) and which keyboard
// is printed, for the view's track or every track.
class PianoRollSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // The preview's bar of reference, in pixels.
    static constexpr int kReferenceWidth = 52;

    PianoRollSettingsDialog(QWidget* parent, const PianoRollSettingsChoice& choice);
    PianoRollSettingsChoice Chosen() const;
    static bool Ask(QWidget* parent, PianoRollSettingsChoice& choice);

private:
    QCheckBox* tempo_ = nullptr;
    QCheckBox* lyrics_ = nullptr;
    QCheckBox* comments_ = nullptr;
    QCheckBox* trackName_ = nullptr;
    QButtonGroup* colors_ = nullptr;
    QSlider* length_ = nullptr;
    QWidget* preview_ = nullptr;
    QComboBox* piano_ = nullptr;
    QCheckBox* all_ = nullptr;
};
