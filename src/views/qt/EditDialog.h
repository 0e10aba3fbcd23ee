#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "util/Refusal.h"

class QDialogButtonBox;
class QFormLayout;
class QWidget;

// The frame of the editing dialogs: labelled fields in a form, OK and Cancel, and a check
// that may refuse OK. A refusal is shown in a message box and the dialog stays open with
// what the user typed.
class EditDialog : public QDialog {
    Q_OBJECT
public:
    EditDialog(QWidget* parent, const QString& title);

    // Adds a field under a label; the field's accessible name is the label without its
    // colon, which is how scripts and screen readers find it.
    QWidget* AddField(const QString& label, QWidget* field);
    // A row without a label (check boxes, texts).
    QWidget* AddRow(QWidget* widget);
    void SetCheck(std::function<Refusal()> check) { check_ = std::move(check); }
    void done(int result) override;

protected:
    // Puts the buttons under the fields; the constructor of each dialog ends with it.
    void AddButtons();

    QFormLayout* form_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;

private:
    std::function<Refusal()> check_;
};
