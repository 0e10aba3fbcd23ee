#pragma once

#include "devices/DeviceList.h"
#include "devices/qt/DefinitionDialog.h"

class QListWidget;

// "MIDI Devices": the device definitions of the home directory, each added, changed
// (through "Device Definition") or deleted at once.
class DeviceListDialog : public DefinitionDialog {
    Q_OBJECT
public:
    explicit DeviceListDialog(QWidget* parent);

    static void Run(QWidget* parent);

private:
    void Refill(int row);
    void Add();
    void Change();
    void Delete();

    DeviceList devices_;
    QListWidget* list_ = nullptr;
};
