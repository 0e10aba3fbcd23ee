#pragma once

#include "views/qt/EditDialog.h"

#include <vector>

#include "app/SongPropertiesChoice.h"

class QComboBox;
class QLineEdit;

// "Song Properties": the song's four texts and its resolution.
class SongPropertiesDialog : public EditDialog {
    Q_OBJECT
public:
    SongPropertiesDialog(QWidget* parent, const SongPropertiesChoice& choice,
                         std::vector<std::int32_t> resolutions);
    SongPropertiesChoice Chosen() const;

    static constexpr const char* kTitle = "Song Properties";

private:
    QLineEdit* title_ = nullptr;
    QLineEdit* author_ = nullptr;
    QLineEdit* copyright_ = nullptr;
    QLineEdit* instructions_ = nullptr;
    QComboBox* resolution_ = nullptr;
    std::vector<std::int32_t> resolutions_;
};
