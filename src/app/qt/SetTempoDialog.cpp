#include "app/qt/SetTempoDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

SetTempoDialog::SetTempoDialog(QWidget* parent, long index, const TempoEditing::Fields& fields)
    : EditDialog(parent, kTitle) {
    time_ = new QLineEdit(QString::fromStdString(fields.time.str()), this);
    time_->setEnabled(TempoEditing::TimeEditable(index));
    time_->setToolTip("bar:beat:tick");
    AddField("At Time (bar:beat:tick):", time_);
    bpm_ = new QSpinBox(this);
    bpm_->setRange(TempoEditing::kMinBpm, TempoEditing::kMaxBpm);
    bpm_->setValue(fields.bpm);
    AddField("Beats per Minute:", bpm_);
    moveLater_ = new QCheckBox(kMoveLater, this);
    moveLater_->setAccessibleName(kMoveLater);
    moveLater_->setChecked(fields.moveLater);
    moveLater_->setEnabled(TempoEditing::MoveLaterOffered(index));
    AddRow(moveLater_);
    if (TempoEditing::MoveLaterOffered(index))
        AddRow(new QLabel(kNote, this));
    AddButtons();
}

TempoEditing::Fields SetTempoDialog::Chosen() const {
    TempoEditing::Fields f;
    f.time = AString(time_->text().toStdString());
    f.bpm = bpm_->value();
    f.moveLater = moveLater_->isChecked();
    return f;
}
