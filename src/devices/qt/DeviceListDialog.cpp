#include "devices/qt/DeviceListDialog.h"

#include "devices/qt/DeviceDefDialog.h"

DeviceListDialog::DeviceListDialog(QWidget* parent)
    : DefinitionListDialog(parent, "MIDI Devices", "Devices") {
    devices_.Load();
    Refill(devices_.Entries().empty() ? -1 : 0);
}

void DeviceListDialog::Refill(int row) {
    std::vector<AString> names;
    for (const DeviceList::Entry& entry : devices_.Entries())
        names.push_back(entry.name);
    ShowEntries(names, row);
}

void DeviceListDialog::Add() {
    std::unique_ptr<MidiDevice> device = DeviceList::NewDevice();
    if (!DeviceDefDialog::Edit(this, *device))
        return;
    if (auto refusal = devices_.Add(*device)) {
        ShowMessage(*refusal);
        return;
    }
    Refill(static_cast<int>(devices_.Entries().size()) - 1);
}

void DeviceListDialog::Change() {
    const int row = Row();
    if (row < 0)
        return;
    std::optional<Message> refusal;
    std::unique_ptr<MidiDevice> device =
        devices_.OpenForChange(static_cast<std::size_t>(row), refusal);
    if (!device) {
        if (refusal)
            ShowMessage(*refusal);
        return;
    }
    if (!DeviceDefDialog::Edit(this, *device))
        return;
    if (auto failed = devices_.Store(static_cast<std::size_t>(row), *device))
        ShowMessage(*failed);
    Refill(row);
}

void DeviceListDialog::Delete() {
    const int row = Row();
    if (row < 0)
        return;
    if (auto refusal = devices_.Delete(static_cast<std::size_t>(row))) {
        ShowMessage(*refusal);
        return;
    }
    Refill(std::min(row, static_cast<int>(devices_.Entries().size()) - 1));
}

void DeviceListDialog::Run(QWidget* parent) {
    DeviceListDialog dialog(parent);
    dialog.exec();
}
