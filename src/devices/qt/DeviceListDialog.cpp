#include "devices/qt/DeviceListDialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "devices/qt/DeviceDefDialog.h"

DeviceListDialog::DeviceListDialog(QWidget* parent) : DefinitionDialog(parent, "MIDI Devices") {
    auto* row = new QHBoxLayout;
    list_ = new QListWidget(this);
    row->addWidget(Named(list_, "Devices"));
    auto* buttons = new QVBoxLayout;
    for (auto [text, action] : {std::pair{"Add", &DeviceListDialog::Add},
                                {"Change", &DeviceListDialog::Change},
                                {"Delete", &DeviceListDialog::Delete}}) {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, action);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    row->addLayout(buttons);
    devices_.Load();
    Refill(devices_.Entries().empty() ? -1 : 0);
    Finish(row, false);
}

void DeviceListDialog::Refill(int row) {
    list_->clear();
    for (const DeviceList::Entry& entry : devices_.Entries())
        list_->addItem(QString::fromStdString(entry.name.str()));
    list_->setCurrentRow(row);
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
    const int row = list_->currentRow();
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
    const int row = list_->currentRow();
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
