#pragma once

#include "views/qt/EditDialog.h"

#include "app/SignatureEditing.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

// One time and key signature change: its bar, time signature, key and scale.
class SignatureDialog : public EditDialog {
    Q_OBJECT
public:
    SignatureDialog(QWidget* parent, long index, const SignatureEditing::Fields& fields);
    // False when the time signature is not written as two numbers.
    bool Chosen(SignatureEditing::Fields& fields) const;

    static constexpr const char* kTitle = "Time And Key Signature";

private:
    QSpinBox* bar_ = nullptr;
    QLineEdit* time_ = nullptr;
    QComboBox* key_ = nullptr;
    QComboBox* scale_ = nullptr;
    bool following_ = false;
};
