#include "devices/qt/DeviceSelDialog.h"

#include <QComboBox>
#include <QFormLayout>

DeviceSelDialog::DeviceSelDialog(QWidget* parent, const AString& songDeviceFile)
    : DefinitionDialog(parent, "Song Device Selection"), choice_(songDeviceFile) {
    auto* form = new QFormLayout;
    devices_ = new QComboBox(this);
    for (const DeviceList::Entry& entry : choice_.Entries())
        devices_->addItem(QString::fromStdString(entry.name.str()));
    devices_->setCurrentIndex(choice_.Preselected());
    form->addRow("Device:", Named(devices_, "Device"));
    SetCheck([this] { return choice_.Choose(devices_->currentIndex(), chosen_); });
    Finish(form);
}

bool DeviceSelDialog::Ask(QWidget* parent, const AString& songDeviceFile, AString& chosen) {
    DeviceSelDialog dialog(parent, songDeviceFile);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosen = dialog.Chosen();
    return true;
}
