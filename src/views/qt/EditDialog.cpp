#include "views/qt/EditDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

#include "util/Messages.h"

EditDialog::EditDialog(QWidget* parent, const QString& title) : QDialog(parent) {
    setWindowTitle(title);
    form_ = new QFormLayout(this);
}

QWidget* EditDialog::AddField(const QString& label, QWidget* field) {
    QString name = label;
    while (name.endsWith(':') || name.endsWith(' '))
        name.chop(1);
    field->setAccessibleName(name);
    form_->addRow(label, field);
    return field;
}

QWidget* EditDialog::AddRow(QWidget* widget) {
    form_->addRow(widget);
    return widget;
}

void EditDialog::AddButtons() {
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form_->addRow(buttons_);
}

void EditDialog::done(int result) {
    if (result == QDialog::Accepted && check_) {
        if (const Refusal refusal = check_()) {
            ShowMessage(refusal.AsMessage());
            return;
        }
    }
    QDialog::done(result);
}
