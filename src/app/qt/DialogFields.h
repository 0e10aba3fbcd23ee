#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;
class QFormLayout;
class QWidget;

// Adds a labelled input to a dialog's form. The input is named after its label without
// the colon, which is how scripts and screen readers find it.
void AddLabelledField(QFormLayout& form, const QString& label, QWidget* field);
// OK and Cancel wired to accept and reject.
QDialogButtonBox* AddOkCancel(QDialog& dialog, QFormLayout& form);
