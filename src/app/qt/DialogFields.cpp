#include "app/qt/DialogFields.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QWidget>

void AddLabelledField(QFormLayout& form, const QString& label, QWidget* field) {
    QString name = label.trimmed();
    if (name.endsWith(':'))
        name.chop(1);
    field->setAccessibleName(name);
    form.addRow(label, field);
}

QDialogButtonBox* AddOkCancel(QDialog& dialog, QFormLayout& form) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form.addRow(buttons);
    return buttons;
}
