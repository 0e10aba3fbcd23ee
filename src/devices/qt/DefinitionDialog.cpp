#include "devices/qt/DefinitionDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

DefinitionDialog::DefinitionDialog(QWidget* parent, const QString& title) : QDialog(parent) {
    setWindowTitle(title);
}

QWidget* DefinitionDialog::Named(QWidget* field, QString label) {
    while (label.endsWith(':') || label.endsWith(' '))
        label.chop(1);
    field->setAccessibleName(label);
    return field;
}

void DefinitionDialog::Finish(QLayout* body, bool cancel) {
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(body);
    auto* buttons = new QDialogButtonBox(
        cancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel : QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);
}

void DefinitionDialog::done(int result) {
    if (result == QDialog::Accepted && check_) {
        if (const std::optional<Message> refusal = check_()) {
            ShowMessage(*refusal);
            return;
        }
    }
    QDialog::done(result);
}
