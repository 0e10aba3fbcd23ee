#pragma once

#include "devices/DeviceList.h"
#include "devices/qt/DefinitionListDialog.h"

// "MIDI Devices": the device definitions of the home directory by name; a change goes
// through "Device Definition".
class DeviceListDialog : public DefinitionListDialog {
    Q_OBJECT
public:
    explicit DeviceListDialog(QWidget* parent);

    static void Run(QWidget* parent);

private:
    void Refill(int row);
    void Add() override;
    void Change() override;
    void Delete() override;

    DeviceList devices_;
};
