#pragma once

#include "views/qt/EditDialog.h"

#include "app/TrackPropertiesChoice.h"

class QComboBox;
class QSpinBox;
class Song;

// "Track Properties": the channel and instrument of one track and of all its records.
class TrackPropertiesDialog : public EditDialog {
    Q_OBJECT
public:
    TrackPropertiesDialog(QWidget* parent, const Song& song, std::size_t track);
    TrackPropertiesChoice Chosen() const;

    static constexpr const char* kTitle = "Track Properties";

private:
    void Show(const TrackPropertiesChoice& choice);
    void InstrumentChanged();

    const Song& song_;
    QSpinBox* track_ = nullptr;
    QComboBox* channel_ = nullptr;
    QComboBox* instrument_ = nullptr;
    QSpinBox* bank_ = nullptr;
};
