#pragma once

#include "devices/DeviceDefinitionForm.h"
#include "devices/qt/DefinitionDialog.h"

class QCheckBox;
class QLineEdit;
class QListWidget;

// "Device Definition": a device's name, its controllers, its instruments per channel and
// its program change delay. On OK the device takes them; nothing is written here.
class DeviceDefDialog : public DefinitionDialog {
    Q_OBJECT
public:
    DeviceDefDialog(QWidget* parent, MidiDevice& device);

    // True when the user pressed OK and the device took the fields.
    static bool Edit(QWidget* parent, MidiDevice& device);

private:
    void Move(bool add);
    void FillLists(int availableRow, int deviceRow);

    MidiDevice& device_;
    DeviceDefinitionForm form_;
    QLineEdit* name_ = nullptr;
    QListWidget* available_ = nullptr;
    QListWidget* controllers_ = nullptr;
    QCheckBox* channelSpecific_ = nullptr;
    QLineEdit* delay_ = nullptr;
};
