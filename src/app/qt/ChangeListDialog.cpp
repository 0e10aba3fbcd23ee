#include "app/qt/ChangeListDialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

ChangeListDialog::ChangeListDialog(QWidget* parent, const QString& title, Actions actions)
    : QDialog(parent), actions_(std::move(actions)) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setAccessibleName("Changes");
    list_->setMinimumWidth(340);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(this);
    auto* add = buttons->addButton("Add...", QDialogButtonBox::ActionRole);
    change_ = buttons->addButton("Change...", QDialogButtonBox::ActionRole);
    if (actions_.remove)
        delete_ = buttons->addButton("Delete", QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    connect(add, &QPushButton::clicked, this, [this] { Edit(-1); });
    connect(change_, &QPushButton::clicked, this, [this] { Edit(Selected()); });
    if (delete_)
        connect(delete_, &QPushButton::clicked, this, [this] {
            const long index = Selected();
            if (index < 0)
                return;
            actions_.remove(index);
            Refill(index - 1);
        });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemActivated, this, [this] { Edit(Selected()); });
    connect(list_, &QListWidget::currentRowChanged, this, &ChangeListDialog::SelectionChanged);
    Refill(0);
}

void ChangeListDialog::Refill(long select) {
    list_->clear();
    for (const AString& line : actions_.lines())
        list_->addItem(QString::fromStdString(line.str()));
    if (list_->count() > 0)
        list_->setCurrentRow(static_cast<int>(std::clamp<long>(select, 0, list_->count() - 1)));
    SelectionChanged();
}

long ChangeListDialog::Selected() const {
    return list_->currentRow();
}

void ChangeListDialog::Edit(long index) {
    if (index < -1)
        return;
    const int before = list_->count();
    actions_.edit(index);
    // A new entry may land anywhere in the list; keep the edited one selected otherwise.
    Refill(index >= 0 ? index : (list_->count() > before ? before : 0));
}

void ChangeListDialog::SelectionChanged() {
    const long index = Selected();
    change_->setEnabled(index >= 0);
    if (delete_)
        delete_->setEnabled(index >= 0 && (!actions_.removable || actions_.removable(index)));
}
