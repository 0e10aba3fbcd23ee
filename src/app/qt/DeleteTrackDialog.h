#pragma once

#include "views/qt/EditDialog.h"

class QComboBox;
class Song;

// Which track Delete Track removes.
class DeleteTrackDialog : public EditDialog {
    Q_OBJECT
public:
    DeleteTrackDialog(QWidget* parent, const Song& song, std::size_t preselected);
    // Zero-based.
    std::size_t Chosen() const;

    static constexpr const char* kTitle = "Delete Track";

private:
    QComboBox* track_ = nullptr;
};
