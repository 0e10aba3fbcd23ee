#pragma once

#include <QDialog>

class QComboBox;
class Song;

// Which track Delete Track removes.
class DeleteTrackDialog : public QDialog {
    Q_OBJECT
public:
    DeleteTrackDialog(QWidget* parent, const Song& song, std::size_t preselected);
    // Zero-based.
    std::size_t Chosen() const;

    static constexpr const char* kTitle = "Delete Track";

private:
    QComboBox* track_ = nullptr;
};
