#include "record/qt/RecordDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "edit/QuantizeChoice.h"
#include "model/Song.h"
#include "views/qt/MusicalTimeEdit.h"

namespace {

QWidget* Row(std::initializer_list<QWidget*> widgets, bool vertical = false) {
    auto* row = new QWidget;
    QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(row))
                                  : static_cast<QBoxLayout*>(new QHBoxLayout(row));
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : widgets)
        layout->addWidget(w);
    return row;
}

} // namespace

RecordDialog::RecordDialog(QWidget* parent, Song& song, MidiRecordSession& session,
                           std::function<void()> startHook, std::function<void()> stopPlayer)
    : EditDialog(parent, "MIDI Record"), session_(session), startHook_(std::move(startHook)),
      stopPlayer_(std::move(stopPlayer)) {
    setObjectName(kObjectName);
    setModal(true);
    message_ = new QLabel;
    message_->setAccessibleName("Message");
    AddRow(message_);

    placeAt_ = new MusicalTimeEdit(MusicalTimeEdit::Kind::Position, song.TicksPerQuarter());
    placeAt_->SetTime(session_.placeAt);
    AddField("Place Recording At:", placeAt_);

    mix_ = new QRadioButton("Mix");
    overwrite_ = new QRadioButton("Overwrite");
    insert_ = new QRadioButton("Insert");
    auto* methods = new QButtonGroup(this);
    for (QRadioButton* b : {mix_, overwrite_, insert_})
        methods->addButton(b);
    mix_->setChecked(true);
    AddField("Placement Method:", Row({mix_, overwrite_, insert_}));

    force_ = new QRadioButton("Force to Current Track / Channel / Instrument");
    assign_ = new QRadioButton("Assign Tracks by Channel and Instrument");
    auto* tracks = new QButtonGroup(this);
    tracks->addButton(force_);
    tracks->addButton(assign_);
    force_->setChecked(true);
    AddRow(Row({force_, assign_}, true));

    alignTo_ = new QComboBox;
    for (const char* entry : QuantizeChoice::kEntries)
        alignTo_->addItem(entry);
    alignTo_->setCurrentIndex(0);
    AddField("Align To:", alignTo_);
    beginnings_ = new QCheckBox("Align note beginnings");
    durations_ = new QCheckBox("Align note durations");
    AddRow(Row({beginnings_, durations_}));
    fit_ = new QCheckBox("Fit to time");
    AddRow(fit_);
    amount_ = new MusicalTimeEdit(MusicalTimeEdit::Kind::Amount, song.TicksPerQuarter());
    AddField("Amount Of Time:", amount_);

    AddButtons();
    ok_ = buttons_->button(QDialogButtonBox::Ok);
    done_ = buttons_->addButton("Done", QDialogButtonBox::ActionRole);
    connect(done_, &QPushButton::clicked, this, &RecordDialog::Finish);
    buttons_->addButton(QDialogButtonBox::Help);
    connect(buttons_, &QDialogButtonBox::helpRequested, this, [this] {
        if (help_)
            help_();
    });
    connect(alignTo_, &QComboBox::currentIndexChanged, this, &RecordDialog::Follow);
    connect(fit_, &QCheckBox::toggled, this, &RecordDialog::Follow);

    SetCheck([this]() -> Refusal {
        Collect();
        return session_.Accept(placement_);
    });
    drain_.setInterval(kDrainMs);
    connect(&drain_, &QTimer::timeout, this, [this] {
        session_.Drain();
        message_->setText(session_.MessageText());
    });
    Follow();
}

bool RecordDialog::Begin() {
    Follow();
    if (!session_.Open(startHook_, stopPlayer_))
        return false;
    drain_.start();
    return true;
}

void RecordDialog::Collect() {
    session_.placeAt = placeAt_->Time();
    session_.method = insert_->isChecked() ? 2 : overwrite_->isChecked() ? 1 : 0;
    session_.assignByChannel = assign_->isChecked();
    session_.alignEntry = alignTo_->currentIndex();
    session_.alignBeginnings = beginnings_->isChecked();
    session_.alignDurations = durations_->isChecked();
    session_.fitToTime = fit_->isChecked();
    session_.fitAmount = amount_->Time();
}

// The controls follow the session: what may be changed now, and the message.
void RecordDialog::Follow() {
    session_.alignEntry = alignTo_->currentIndex();
    session_.fitToTime = fit_->isChecked();
    const bool options = session_.OptionsEnabled();
    for (QWidget* w : std::initializer_list<QWidget*>{placeAt_, mix_, overwrite_, insert_, force_,
                                                      assign_, alignTo_, fit_})
        w->setEnabled(options);
    beginnings_->setEnabled(session_.AlignBoxesEnabled());
    durations_->setEnabled(session_.AlignBoxesEnabled());
    amount_->setEnabled(session_.FitFieldsEnabled());
    ok_->setVisible(options);
    done_->setVisible(session_.GetState() == MidiRecordSession::State::Recording);
    message_->setText(session_.MessageText());
}

void RecordDialog::Finish() {
    drain_.stop();
    if (!session_.Done(stopPlayer_)) {
        QDialog::reject();
        return;
    }
    amount_->SetTime(session_.fitAmount);
    Follow();
    // The bar box: where the take goes is the first thing to choose.
    if (auto* bar = placeAt_->findChild<QSpinBox*>())
        bar->setFocus();
}

void RecordDialog::reject() {
    drain_.stop();
    session_.Cancel(stopPlayer_);
    QDialog::reject();
}
