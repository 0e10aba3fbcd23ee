#pragma once

#include <QDialog>
#include <cstdint>

class QComboBox;
class QLineEdit;

// The bank selection of the placement instrument list: an instrument and its bank.
class BankSelectDialog : public QDialog {
    Q_OBJECT
public:
    BankSelectDialog(QWidget* parent, std::uint8_t program, std::int32_t bank);
    void done(int result) override;

    // True with the chosen program and bank when the user pressed OK.
    static bool Ask(QWidget* parent, std::uint8_t& program, std::int32_t& bank);

private:
    QLineEdit* bank_ = nullptr;
    QComboBox* instrument_ = nullptr;
    std::uint8_t program_ = 0;
    std::int32_t chosenBank_ = 0;
};
