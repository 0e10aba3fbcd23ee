#include "app/qt/TrackPropertiesDialog.h"

#include <QComboBox>
#include <QSpinBox>

#include "model/Song.h"

namespace {

QString Q(const AString& text) {
    return QString::fromStdString(text.str());
}

} // namespace

TrackPropertiesDialog::TrackPropertiesDialog(QWidget* parent, const Song& song, std::size_t track)
    : EditDialog(parent, kTitle), song_(song) {
    track_ = new QSpinBox(this);
    track_->setRange(1, static_cast<int>(std::max<std::size_t>(song.TrackCount(), 1)));
    AddField("For Track #", track_);
    channel_ = new QComboBox(this);
    for (int i = 0; i <= TrackPropertiesChoice::kNoDefaultChannel; ++i)
        channel_->addItem(Q(TrackPropertiesChoice::ChannelText(i)));
    AddField("Channel:", channel_);
    instrument_ = new QComboBox(this);
    for (int i = 0; i <= TrackPropertiesChoice::kNoDefaultInstrument; ++i)
        instrument_->addItem(Q(TrackPropertiesChoice::InstrumentText(i)));
    AddField("Instrument:", instrument_);
    bank_ = new QSpinBox(this);
    bank_->setRange(-1, TrackPropertiesChoice::kMaxBank);
    bank_->setSpecialValueText("None");
    AddField("Instrument Bank:", bank_);
    AddButtons();
    Show(TrackPropertiesChoice::For(song, track));
    connect(track_, &QSpinBox::valueChanged, this, [this](int number) {
        Show(TrackPropertiesChoice::For(song_, static_cast<std::size_t>(number - 1)));
    });
    connect(instrument_, &QComboBox::currentIndexChanged, this,
            &TrackPropertiesDialog::InstrumentChanged);
}

void TrackPropertiesDialog::Show(const TrackPropertiesChoice& choice) {
    const QSignalBlocker blockTrack(track_);
    track_->setValue(choice.track);
    channel_->setCurrentIndex(choice.channel);
    instrument_->setCurrentIndex(choice.instrument);
    bank_->setValue(choice.bank);
    InstrumentChanged();
}

void TrackPropertiesDialog::InstrumentChanged() {
    TrackPropertiesChoice c;
    c.instrument = instrument_->currentIndex();
    bank_->setEnabled(c.BankUsed());
}

TrackPropertiesChoice TrackPropertiesDialog::Chosen() const {
    TrackPropertiesChoice c;
    c.track = track_->value();
    c.channel = channel_->currentIndex();
    c.instrument = instrument_->currentIndex();
    c.bank = c.BankUsed() ? bank_->value() : -1;
    return c;
}
