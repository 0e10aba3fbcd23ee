#include "devices/qt/ControllerListDialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "devices/qt/ControllerDefDialog.h"

ControllerListDialog::ControllerListDialog(QWidget* parent)
    : DefinitionDialog(parent, "Controllers Definition") {
    auto* row = new QHBoxLayout;
    list_ = new QListWidget(this);
    // The entries line up their numbers.
    list_->setFont(QFont("Monospace"));
    row->addWidget(Named(list_, "Controllers"));
    auto* buttons = new QVBoxLayout;
    for (auto [text, action] : {std::pair{"Add", &ControllerListDialog::Add},
                                {"Change", &ControllerListDialog::Change},
                                {"Delete", &ControllerListDialog::Delete}}) {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, action);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    row->addLayout(buttons);
    controllers_.Load();
    Refill(controllers_.Controllers().IsEmpty() ? -1 : 0);
    Finish(row, false);
}

void ControllerListDialog::Refill(int row) {
    list_->clear();
    for (const MidiController* c : controllers_.Controllers())
        list_->addItem(QString::fromStdString(c->ListEntry().str()));
    list_->setCurrentRow(row);
}

void ControllerListDialog::Add() {
    auto controller = std::make_unique<MidiController>();
    if (!ControllerDefDialog::Edit(this, *controller))
        return;
    std::size_t at = 0;
    if (auto refusal = controllers_.Add(std::move(controller), at)) {
        ShowMessage(*refusal);
        return;
    }
    Refill(static_cast<int>(at));
}

void ControllerListDialog::Change() {
    const int row = list_->currentRow();
    if (row < 0)
        return;
    auto index = static_cast<std::size_t>(row);
    if (auto refusal = controllers_.CheckChange(index)) {
        ShowMessage(*refusal);
        return;
    }
    MidiController edited = *controllers_.Controllers()[index];
    if (!ControllerDefDialog::Edit(this, edited))
        return;
    if (auto failed = controllers_.Store(index, edited))
        ShowMessage(*failed);
    Refill(static_cast<int>(index));
}

void ControllerListDialog::Delete() {
    const int row = list_->currentRow();
    if (row < 0)
        return;
    if (auto refusal = controllers_.Delete(static_cast<std::size_t>(row))) {
        ShowMessage(*refusal);
        return;
    }
    Refill(std::min(row, static_cast<int>(controllers_.Controllers().Count()) - 1));
}

void ControllerListDialog::Run(QWidget* parent) {
    ControllerListDialog dialog(parent);
    dialog.exec();
}
