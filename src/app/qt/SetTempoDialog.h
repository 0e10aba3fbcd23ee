#pragma once

#include "views/qt/EditDialog.h"

#include "app/TempoEditing.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

// One tempo change: where it starts and its beats per minute.
class SetTempoDialog : public EditDialog {
    Q_OBJECT
public:
    SetTempoDialog(QWidget* parent, long index, const TempoEditing::Fields& fields);
    TempoEditing::Fields Chosen() const;

    static constexpr const char* kTitle = "Tempo Change";
    static constexpr const char* kMoveLater = "Move the later tempo entries along";
    static constexpr const char* kNote =
        "note: Changing a tempo time also affects the tempo entries afterward";

private:
    QLineEdit* time_ = nullptr;
    QSpinBox* bpm_ = nullptr;
    QCheckBox* moveLater_ = nullptr;
};
