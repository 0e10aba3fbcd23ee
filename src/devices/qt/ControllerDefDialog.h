#pragma once

#include "devices/ControllerForm.h"
#include "devices/qt/DefinitionDialog.h"

class QCheckBox;
class QLineEdit;

// "Controller Definition": a controller's name, number, and either its value range and
// default or the on/off switch. On OK the controller takes them; nothing is written here.
class ControllerDefDialog : public DefinitionDialog {
    Q_OBJECT
public:
    ControllerDefDialog(QWidget* parent, MidiController& controller);

    // True when the user pressed OK and the controller took the fields.
    static bool Edit(QWidget* parent, MidiController& controller);

private:
    MidiController& controller_;
    QLineEdit* name_ = nullptr;
    QLineEdit* number_ = nullptr;
    QCheckBox* onOff_ = nullptr;
    QLineEdit* low_ = nullptr;
    QLineEdit* high_ = nullptr;
    QLineEdit* default_ = nullptr;
};
