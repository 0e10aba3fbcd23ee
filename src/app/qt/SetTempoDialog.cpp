#include "app/qt/SetTempoDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "app/qt/DialogFields.h"

SetTempoDialog::SetTempoDialog(QWidget* parent, long index, const TempoEditing::Fields& fields)
    : QDialog(parent) {
    setWindowTitle(kTitle);
    auto* form = new QFormLayout(this);
    time_ = new QLineEdit(QString::fromStdString(fields.time.str()), this);
    time_->setEnabled(TempoEditing::TimeEditable(index));
    time_->setToolTip("bar:beat:tick");
    AddLabelledField(*form, "At Time (bar:beat:tick):", time_);
    bpm_ = new QSpinBox(this);
    bpm_->setRange(TempoEditing::kMinBpm, TempoEditing::kMaxBpm);
    bpm_->setValue(fields.bpm);
    AddLabelledField(*form, "Beats per Minute:", bpm_);
    moveLater_ = new QCheckBox(kMoveLater, this);
    moveLater_->setAccessibleName(kMoveLater);
    moveLater_->setChecked(fields.moveLater);
    moveLater_->setEnabled(TempoEditing::MoveLaterOffered(index));
    form->addRow(moveLater_);
    if (TempoEditing::MoveLaterOffered(index))
        form->addRow(new QLabel(kNote, this));
    AddOkCancel(*this, *form);
}

TempoEditing::Fields SetTempoDialog::Chosen() const {
    TempoEditing::Fields f;
    f.time = AString(time_->text().toStdString());
    f.bpm = bpm_->value();
    f.moveLater = moveLater_->isChecked();
    return f;
}
