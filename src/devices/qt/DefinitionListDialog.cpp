#include "devices/qt/DefinitionListDialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

DefinitionListDialog::DefinitionListDialog(QWidget* parent, const QString& title,
                                           const QString& listName)
    : DefinitionDialog(parent, title) {
    auto* row = new QHBoxLayout;
    list_ = new QListWidget(this);
    row->addWidget(Named(list_, listName));
    auto* buttons = new QVBoxLayout;
    const std::pair<const char*, std::function<void()>> actions[] = {
        {"Add", [this] { Add(); }}, {"Change", [this] { Change(); }}, {"Delete", [this] {
                                                                           Delete();
                                                                       }}};
    for (const auto& [text, action] : actions) {
        auto* button = new QPushButton(text, this);
        // Enter in the list means OK, not the first of these.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, action);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    row->addLayout(buttons);
    Finish(row, false);
}

void DefinitionListDialog::ShowEntries(const std::vector<AString>& entries, int row) {
    list_->clear();
    for (const AString& entry : entries)
        list_->addItem(QString::fromStdString(entry.str()));
    list_->setCurrentRow(row);
}

int DefinitionListDialog::Row() const {
    return list_->currentRow();
}
