#include "app/qt/KeyTranslationDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <functional>

#include "app/qt/KeyCaptureDialog.h"
#include "devices/KeyTranslator.h"
#include "util/Messages.h"

namespace {

QComboBox* List(const QString& name, int count, const std::function<QString(int)>& text) {
    auto* list = new QComboBox;
    list->setAccessibleName(name);
    for (int i = 0; i < count; ++i)
        list->addItem(text(i));
    return list;
}

QString StateText(int state) {
    return KeyTranslator::StateName(state);
}

} // namespace

KeyTranslationDialog::KeyTranslationDialog(QWidget* parent, KeyTranslator& keys)
    : QDialog(parent), keys_(keys) {
    setWindowTitle("Keyboard Assignment");
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, 5, this);
    table_->setHorizontalHeaderLabels({"Key", "Shift", "Ctrl", "Alt", "Operation"});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setMinimumSize(640, 360);
    layout->addWidget(table_);

    auto* editor = new QFormLayout;
    entry_ = new QSpinBox(this);
    entry_->setAccessibleName("Entry");
    editor->addRow("Entry:", entry_);
    auto* fields = new QHBoxLayout;
    key_ = List("Key", KeyTranslator::kKeyCount,
                [](int i) { return QString::fromStdString(KeyTranslator::KeyName(i).str()); });
    shift_ = List("Shift", 3, StateText);
    ctrl_ = List("Ctrl", 3, StateText);
    alt_ = List("Alt", 3, StateText);
    operation_ = List("Operation", KeyTranslator::kOperationCount,
                      [](int i) { return QString(KeyTranslator::OperationName(i)); });
    fields->addWidget(key_);
    fields->addWidget(shift_);
    fields->addWidget(ctrl_);
    fields->addWidget(alt_);
    fields->addWidget(new QLabel("=", this));
    fields->addWidget(operation_, 1);
    editor->addRow("Key, Shift, Ctrl, Alt:", fields);
    layout->addLayout(editor);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* add = buttons->addButton("Add Key...", QDialogButtonBox::ActionRole);
    QPushButton* remove = buttons->addButton("Remove", QDialogButtonBox::ActionRole);
    QPushButton* defaults = buttons->addButton("Defaults", QDialogButtonBox::ResetRole);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(add, &QPushButton::clicked, this, &KeyTranslationDialog::AddKey);
    connect(remove, &QPushButton::clicked, this, &KeyTranslationDialog::RemoveChosen);
    connect(defaults, &QPushButton::clicked, this, [this] {
        keys_.SetEntries(KeyTranslator::DefaultTable());
        Fill();
    });
    connect(table_, &QTableWidget::currentCellChanged, this,
            [this](int current, int, int, int) { Choose(current); });
    connect(entry_, &QSpinBox::valueChanged, this, [this](int n) { Choose(n - 1); });
    for (QComboBox* list : {key_, shift_, ctrl_, alt_, operation_})
        connect(list, &QComboBox::currentIndexChanged, this, &KeyTranslationDialog::EditChosen);
    Fill();
}

void KeyTranslationDialog::Fill() {
    const auto count = static_cast<int>(keys_.Entries().size());
    table_->setRowCount(count);
    for (int row = 0; row < count; ++row)
        ShowRow(row);
    filling_ = true;
    entry_->setRange(count ? 1 : 0, count);
    filling_ = false;
    Choose(count ? std::min(std::max(table_->currentRow(), 0), count - 1) : -1);
}

void KeyTranslationDialog::ShowRow(int row) {
    const KeyTranslation& e = keys_.Entries()[static_cast<std::size_t>(row)];
    const QString cells[] = {QString::fromStdString(KeyTranslator::KeyName(e.key).str()),
                             StateText(e.shift), StateText(e.ctrl), StateText(e.alt),
                             KeyTranslator::OperationName(static_cast<int>(e.operation))};
    for (int column = 0; column < 5; ++column)
        table_->setItem(row, column, new QTableWidgetItem(cells[column]));
}

void KeyTranslationDialog::Choose(int row) {
    const bool valid = row >= 0 && row < static_cast<int>(keys_.Entries().size());
    filling_ = true;
    for (QComboBox* list : {key_, shift_, ctrl_, alt_, operation_})
        list->setEnabled(valid);
    if (valid) {
        const KeyTranslation& e = keys_.Entries()[static_cast<std::size_t>(row)];
        key_->setCurrentIndex(e.key);
        shift_->setCurrentIndex(e.shift);
        ctrl_->setCurrentIndex(e.ctrl);
        alt_->setCurrentIndex(e.alt);
        operation_->setCurrentIndex(static_cast<int>(e.operation));
        entry_->setValue(row + 1);
        if (table_->currentRow() != row)
            table_->setCurrentCell(row, 0);
    }
    filling_ = false;
}

void KeyTranslationDialog::EditChosen() {
    const int row = entry_->value() - 1;
    if (filling_ || row < 0 || row >= static_cast<int>(keys_.Entries().size()))
        return;
    KeyTranslation& e = keys_.Entries()[static_cast<std::size_t>(row)];
    e.key = static_cast<std::uint8_t>(key_->currentIndex());
    e.shift = shift_->currentIndex();
    e.ctrl = ctrl_->currentIndex();
    e.alt = alt_->currentIndex();
    e.operation = static_cast<KeyOperation>(operation_->currentIndex());
    ShowRow(row);
}

void KeyTranslationDialog::AddKey() {
    KeyCaptureDialog capture(this);
    if (capture.exec() != QDialog::Accepted)
        return;
    const VirtualKeyPress& p = capture.Pressed();
    keys_.Add(p.key, p.shift ? kKeyOn : kKeyOff, p.ctrl ? kKeyOn : kKeyOff,
              p.alt ? kKeyOn : kKeyOff, KeyOperation::AddNoteAfterCurrent);
    Fill();
    Choose(static_cast<int>(keys_.Entries().size()) - 1);
}

void KeyTranslationDialog::RemoveChosen() {
    const int row = entry_->value() - 1;
    if (row < 0 || row >= static_cast<int>(keys_.Entries().size()))
        return;
    keys_.Remove(static_cast<std::size_t>(row));
    Fill();
}

bool KeyTranslationDialog::Edit(QWidget* parent, KeyTranslator& keys) {
    keys.KeepCopy();
    KeyTranslationDialog dialog(parent, keys);
    if (dialog.exec() != QDialog::Accepted) {
        keys.RestoreCopy();
        return false;
    }
    if (!keys.Save()) {
        ShowMessage(kAppTitle, "The key assignments could not be saved in the settings file.",
                    MessageIcon::Exclamation);
        return false;
    }
    return true;
}
