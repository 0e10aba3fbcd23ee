#include "app/qt/RecordWaveDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/RecordWave.h"
#include "util/Messages.h"

RecordWaveDialog::RecordWaveDialog(QWidget* parent, RecordWave& record, Hook started, Hook stopped)
    : QDialog(parent), record_(record), started_(std::move(started)), stopped_(std::move(stopped)) {
    setWindowTitle(RecordWave::kTitle);
    auto* layout = new QVBoxLayout(this);
    message_ = new QLabel(RecordWave::kRecording, this);
    layout->addWidget(message_);

    auto* form = new QFormLayout;
    name_ = new QLineEdit(this);
    name_->setAccessibleName("Wave File Name");
    name_->setMinimumWidth(260);
    form->addRow("Wave File Name:", name_);
    layout->addLayout(form);
    trimBegin_ =
        new QCheckBox("Get rid of dead space in beginning and adjust position accordingly", this);
    trimEnd_ = new QCheckBox("Get rid of dead space at end", this);
    trimBegin_->setChecked(true);
    trimEnd_->setChecked(true);
    layout->addWidget(trimBegin_);
    layout->addWidget(trimEnd_);
    convert_ = new QPushButton("Convert wave to MIDI notes", this);
    convert_->setAutoDefault(false);
    layout->addWidget(convert_);

    auto* buttons = new QDialogButtonBox(this);
    done_ = buttons->addButton("Done", QDialogButtonBox::ActionRole);
    ok_ = buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    ok_->hide();
    done_->setDefault(true);
    connect(done_, &QPushButton::clicked, this, &RecordWaveDialog::Done);
    connect(ok_, &QPushButton::clicked, this, &RecordWaveDialog::Ok);
    connect(convert_, &QPushButton::clicked, this, &RecordWaveDialog::Convert);
    connect(buttons, &QDialogButtonBox::rejected, this, &RecordWaveDialog::reject);
    EnableOptions(false);
}

RecordWaveDialog::Outcome RecordWaveDialog::Run(QWidget* parent, RecordWave& record, Hook started,
                                                Hook stopped) {
    RecordWaveDialog dialog(parent, record, std::move(started), std::move(stopped));
    dialog.exec();
    return dialog.outcome_;
}

void RecordWaveDialog::EnableOptions(bool on) {
    for (QWidget* w : {static_cast<QWidget*>(name_), static_cast<QWidget*>(trimBegin_),
                       static_cast<QWidget*>(trimEnd_), static_cast<QWidget*>(convert_)})
        w->setEnabled(on);
}

// Recording starts once the dialog shows, so that a failure is told over it.
void RecordWaveDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (began_)
        return;
    began_ = true;
    QTimer::singleShot(0, this, &RecordWaveDialog::StartRecording);
}

void RecordWaveDialog::StartRecording() {
    if (started_)
        started_();
    if (const Refusal refused = record_.Start()) {
        if (stopped_)
            stopped_();
        ShowMessage(refused.AsMessage());
        QDialog::reject();
        return;
    }
    recording_ = true;
}

void RecordWaveDialog::StopRecording() {
    if (!recording_)
        return;
    recording_ = false;
    if (stopped_)
        stopped_();
    // Stopping waits until the last sound is written and the file closed, so no pause
    // for the recorder to catch up is needed.
    record_.Finish();
}

void RecordWaveDialog::Done() {
    StopRecording();
    done_->hide();
    ok_->show();
    ok_->setDefault(true);
    message_->setText(RecordWave::kFinished);
    name_->setText(QString::fromStdString(record_.PresetName()));
    EnableOptions(true);
}

void RecordWaveDialog::Ok() {
    // Pressed only while the take waits for its options (a button pressed after the
    // dialog ended does nothing).
    if (recording_ || !isVisible())
        return;
    if (!record_.Place(trimBegin_->isChecked(), trimEnd_->isChecked(), name_->text().toStdString()))
        return;
    outcome_ = Outcome::Placed;
    accept();
}

void RecordWaveDialog::Convert() {
    StopRecording();
    outcome_ = Outcome::Convert;
    accept();
}

void RecordWaveDialog::reject() {
    StopRecording();
    record_.Cancel();
    QDialog::reject();
}
