#include "app/qt/DeleteTrackDialog.h"

#include <QComboBox>

#include "model/Song.h"

DeleteTrackDialog::DeleteTrackDialog(QWidget* parent, const Song& song, std::size_t preselected)
    : EditDialog(parent, kTitle) {
    track_ = new QComboBox(this);
    for (std::size_t t = 0; t < song.TrackCount(); ++t)
        track_->addItem(QString("Track %1").arg(t + 1));
    track_->setCurrentIndex(
        static_cast<int>(std::min(preselected, song.TrackCount() > 0 ? song.TrackCount() - 1 : 0)));
    AddField("Track to delete:", track_);
    AddButtons();
}

std::size_t DeleteTrackDialog::Chosen() const {
    return static_cast<std::size_t>(std::max(track_->currentIndex(), 0));
}
