#include "devices/qt/ControllerListDialog.h"

#include <QFontDatabase>
#include <QListWidget>

#include "devices/qt/ControllerDefDialog.h"

ControllerListDialog::ControllerListDialog(QWidget* parent)
    : DefinitionListDialog(parent, "Controllers Definition", "Controllers") {
    // The entries line up their numbers.
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    controllers_.Load();
    Refill(controllers_.Controllers().IsEmpty() ? -1 : 0);
}

void ControllerListDialog::Refill(int row) {
    std::vector<AString> entries;
    for (const MidiController* c : controllers_.Controllers())
        entries.push_back(c->ListEntry());
    ShowEntries(entries, row);
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
    const int row = Row();
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
    const int row = Row();
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
