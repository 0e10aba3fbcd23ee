#include "views/qt/NotePropertiesDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

#include "model/MidiMsg.h"

NotePropertiesDialog::NotePropertiesDialog(QWidget* parent, const QString& time,
                                           const Values& values)
    : QDialog(parent) {
    setWindowTitle("Note Properties");
    auto* form = new QFormLayout(this);
    form->addRow("Note at Time:", new QLabel(time, this));
    ticks_ = new QSpinBox(this);
    ticks_->setRange(1, kEndTick);
    ticks_->setValue(values.duration);
    form->addRow("Ticks:", ticks_);
    velocity_ = new QSpinBox(this);
    velocity_->setRange(1, 127);
    velocity_->setValue(values.velocity);
    form->addRow("Velocity (Note Volume)", velocity_);
    release_ = new QSpinBox(this);
    release_->setRange(0, 127);
    release_->setValue(values.releaseVelocity);
    form->addRow("Note-Off (ending) Velocity", release_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

NotePropertiesDialog::Values NotePropertiesDialog::Chosen() const {
    return Values{ticks_->value(), velocity_->value(), release_->value()};
}

bool NotePropertiesDialog::Ask(QWidget* parent, const QString& time, Values& values) {
    NotePropertiesDialog dialog(parent, time, values);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    values = dialog.Chosen();
    return true;
}
