#include "views/qt/StaffDrawSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

StaffDrawSettingsDialog::StaffDrawSettingsDialog(QWidget* parent, const StaffSettingsChoice& choice)
    : QDialog(parent) {
    setWindowTitle("Staff Settings");
    auto* form = new QFormLayout;
    clef_ = new QComboBox(this);
    for (const char* name : StaffSettingsChoice::kClefNames)
        clef_->addItem(name);
    clef_->setCurrentIndex(choice.clef);
    form->addRow("Clef Type:", clef_);
    split_ = new QComboBox(this);
    for (const char* name : StaffSettingsChoice::kSplitNames)
        split_->addItem(name);
    split_->setCurrentIndex(choice.split);
    form->addRow("Split at Pitch:", split_);
    merge_ = new QSpinBox(this);
    merge_->setRange(0, 25);
    merge_->setValue(choice.mergePercent);
    form->addRow("Time Group Merge %:", merge_);
    beam_ = new QSpinBox(this);
    beam_->setRange(0, 25);
    beam_->setValue(choice.beamPercent);
    form->addRow("Beam Note Tolerance %:", beam_);
    scale_ = new QScrollBar(Qt::Horizontal, this);
    scale_->setRange(0, 50);
    scale_->setValue(choice.scalePosition);
    scale_->setMinimumWidth(200);
    form->addRow("Printout Scale (to right is larger):", scale_);

    auto* texts = new QGroupBox("Show Text Types", this);
    auto* textColumn = new QVBoxLayout(texts);
    tempo_ = new QCheckBox("Display Tempo", texts);
    lyrics_ = new QCheckBox("Lyrics", texts);
    comments_ = new QCheckBox("Comments", texts);
    trackName_ = new QCheckBox("Track Name", texts);
    tempo_->setChecked(choice.displayTempo);
    lyrics_->setChecked(choice.lyrics);
    comments_->setChecked(choice.comments);
    trackName_->setChecked(choice.trackName);
    for (QCheckBox* box : {tempo_, lyrics_, comments_, trackName_})
        textColumn->addWidget(box);
    all_ = new QCheckBox("Apply Changes To All Tracks", this);
    all_->setChecked(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(texts);
    layout->addWidget(all_);
    layout->addWidget(buttons);
}

StaffSettingsChoice StaffDrawSettingsDialog::Chosen() const {
    StaffSettingsChoice c;
    c.clef = clef_->currentIndex();
    c.split = split_->currentIndex();
    c.mergePercent = merge_->value();
    c.beamPercent = beam_->value();
    c.scalePosition = scale_->value();
    c.displayTempo = tempo_->isChecked();
    c.lyrics = lyrics_->isChecked();
    c.comments = comments_->isChecked();
    c.trackName = trackName_->isChecked();
    c.applyToAllTracks = all_->isChecked();
    return c;
}

bool StaffDrawSettingsDialog::Ask(QWidget* parent, StaffSettingsChoice& choice) {
    StaffDrawSettingsDialog dialog(parent, choice);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.Chosen();
    return true;
}
