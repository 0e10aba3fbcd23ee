#include "app/qt/DeleteTrackDialog.h"

#include <QComboBox>
#include <QFormLayout>

#include "app/qt/DialogFields.h"
#include "model/Song.h"

DeleteTrackDialog::DeleteTrackDialog(QWidget* parent, const Song& song, std::size_t preselected)
    : QDialog(parent) {
    setWindowTitle(kTitle);
    auto* form = new QFormLayout(this);
    track_ = new QComboBox(this);
    for (std::size_t t = 0; t < song.TrackCount(); ++t)
        track_->addItem(QString("Track %1").arg(t + 1));
    track_->setCurrentIndex(
        static_cast<int>(std::min(preselected, song.TrackCount() > 0 ? song.TrackCount() - 1 : 0)));
    AddLabelledField(*form, "Track to delete:", track_);
    AddOkCancel(*this, *form);
}

std::size_t DeleteTrackDialog::Chosen() const {
    return static_cast<std::size_t>(std::max(track_->currentIndex(), 0));
}
