#include "app/qt/DeleteTrackDialog.h"

#include <QComboBox>
#include <QFormLayout>

#include "app/qt/DialogFields.h"
#include "model/Instruments.h"
#include "model/Song.h"

DeleteTrackDialog::DeleteTrackDialog(QWidget* parent, const Song& song, std::size_t preselected)
    : QDialog(parent) {
    setWindowTitle(kTitle);
    auto* form = new QFormLayout(this);
    track_ = new QComboBox(this);
    for (std::size_t t = 0; t < song.TrackCount(); ++t) {
        QString text = QString("Track %1").arg(t + 1);
        std::uint8_t channel = 0, program = 0;
        std::int32_t bank = -1;
        song.GetTrackProperties(t, channel, program, bank);
        // What the track plays helps tell the tracks apart.
        if (program < 128)
            text += QString(" - %1").arg(InstrumentName(program));
        if (channel < 16)
            text += QString(", Channel %1").arg(channel + 1);
        track_->addItem(text);
    }
    track_->setCurrentIndex(
        static_cast<int>(std::min(preselected, song.TrackCount() > 0 ? song.TrackCount() - 1 : 0)));
    AddLabelledField(*form, "Track to delete:", track_);
    AddOkCancel(*this, *form);
}

std::size_t DeleteTrackDialog::Chosen() const {
    return static_cast<std::size_t>(std::max(track_->currentIndex(), 0));
}
