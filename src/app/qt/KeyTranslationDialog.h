#pragma once

#include <QDialog>

class KeyTranslator;
class QComboBox;
class QSpinBox;
class QTableWidget;

// "Keyboard Assignment": the key table, first match first. The entry chosen in the list
// is edited below it (key, the three modifier states, the operation); Add Key... takes a
// key as it is pressed, Remove takes the chosen entry out, Defaults brings back the
// shipped table. Changes apply at once; OK saves them, Cancel puts the table back.
class KeyTranslationDialog : public QDialog {
    Q_OBJECT
public:
    KeyTranslationDialog(QWidget* parent, KeyTranslator& keys);
    // False on Cancel (the table is as it was) or when saving failed (said so).
    static bool Edit(QWidget* parent, KeyTranslator& keys);

private:
    void Fill();
    void ShowRow(int row);
    void Choose(int row);
    void EditChosen();
    void AddKey();
    void RemoveChosen();

    KeyTranslator& keys_;
    QTableWidget* table_ = nullptr;
    QSpinBox* entry_ = nullptr;
    QComboBox* key_ = nullptr;
    QComboBox* shift_ = nullptr;
    QComboBox* ctrl_ = nullptr;
    QComboBox* alt_ = nullptr;
    QComboBox* operation_ = nullptr;
    bool filling_ = false;
};
