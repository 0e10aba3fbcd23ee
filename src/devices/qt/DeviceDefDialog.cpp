#include "devices/qt/DeviceDefDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void Fill(QListWidget* list, const std::vector<DeviceDefinitionForm::Controller>& entries,
          int row) {
    list->clear();
    for (const auto& entry : entries)
        list->addItem(QString::fromStdString(entry.label.str()));
    list->setCurrentRow(row);
}

} // namespace

DeviceDefDialog::DeviceDefDialog(QWidget* parent, MidiDevice& device)
    : DefinitionDialog(parent, "Device Definition"), device_(device), form_(device) {
    auto* grid = new QGridLayout;
    name_ = new QLineEdit(QString::fromStdString(form_.name.str()), this);
    grid->addWidget(new QLabel("Name:", this), 0, 0);
    grid->addWidget(Named(name_, "Name"), 0, 1, 1, 3);

    available_ = new QListWidget(this);
    controllers_ = new QListWidget(this);
    grid->addWidget(new QLabel("Available Controllers", this), 1, 0, 1, 2);
    grid->addWidget(new QLabel("Device Controllers", this), 1, 3);
    grid->addWidget(Named(available_, "Available Controllers"), 2, 0, 1, 2);
    grid->addWidget(Named(controllers_, "Device Controllers"), 2, 3);
    auto* moves = new QVBoxLayout;
    auto* add = new QPushButton("---Add--->", this);
    auto* remove = new QPushButton("<--Remove--", this);
    moves->addStretch();
    moves->addWidget(add);
    moves->addWidget(remove);
    moves->addStretch();
    grid->addLayout(moves, 2, 2);
    connect(add, &QPushButton::clicked, this, [this] { Move(true); });
    connect(remove, &QPushButton::clicked, this, [this] { Move(false); });

    channelSpecific_ = new QCheckBox("Channel Specific Instruments", this);
    channelSpecific_->setChecked(form_.channelSpecific);
    grid->addWidget(channelSpecific_, 3, 0, 1, 4);
    delay_ = new QLineEdit(QString::fromStdString(form_.delay.str()), this);
    grid->addWidget(new QLabel("Program Change Delay", this), 4, 0);
    grid->addWidget(Named(delay_, "Program Change Delay"), 4, 1);
    grid->addWidget(new QLabel("milliseconds", this), 4, 2, 1, 2);

    FillLists(form_.Available().empty() ? -1 : 0, form_.DeviceControllers().empty() ? -1 : 0);
    SetCheck([this] {
        form_.name = AString(name_->text().toStdString());
        form_.channelSpecific = channelSpecific_->isChecked();
        form_.delay = AString(delay_->text().toStdString());
        return form_.ApplyTo(device_);
    });
    Finish(grid);
}

void DeviceDefDialog::FillLists(int availableRow, int deviceRow) {
    Fill(available_, form_.Available(), availableRow);
    Fill(controllers_, form_.DeviceControllers(), deviceRow);
}

void DeviceDefDialog::Move(bool add) {
    if (add) {
        const int left = form_.Add(available_->currentRow());
        FillLists(left, static_cast<int>(form_.DeviceControllers().size()) - 1);
    } else {
        const int left = form_.Remove(controllers_->currentRow());
        FillLists(static_cast<int>(form_.Available().size()) - 1, left);
    }
}

bool DeviceDefDialog::Edit(QWidget* parent, MidiDevice& device) {
    DeviceDefDialog dialog(parent, device);
    return dialog.exec() == QDialog::Accepted;
}
