#include "views/qt/BankSelectDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "model/Instruments.h"
#include "views/BankChoice.h"

BankSelectDialog::BankSelectDialog(QWidget* parent, std::uint8_t program, std::int32_t bank)
    : QDialog(parent) {
    setWindowTitle("Bank/Instrument Selection");
    auto* form = new QFormLayout(this);
    bank_ = new QLineEdit(QString::number(bank < 0 ? 0 : bank), this);
    bank_->setAccessibleName("Instrument Bank");
    form->addRow("Instrument Bank:", bank_);
    instrument_ = new QComboBox(this);
    for (int p = 0; p < 128; ++p)
        instrument_->addItem(QString::fromUtf8(InstrumentName(p)));
    instrument_->setCurrentIndex(program & 0x7F);
    instrument_->setAccessibleName("Instrument");
    form->addRow("Instrument:", instrument_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void BankSelectDialog::done(int result) {
    if (result == QDialog::Accepted) {
        BankChoice choice{AString(bank_->text().toStdString()), instrument_->currentIndex()};
        if (const std::optional<Message> refusal = choice.Read(program_, chosenBank_)) {
            ShowMessage(*refusal);
            return;
        }
    }
    QDialog::done(result);
}

bool BankSelectDialog::Ask(QWidget* parent, std::uint8_t& program, std::int32_t& bank) {
    BankSelectDialog dialog(parent, program, bank);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    program = dialog.program_;
    bank = dialog.chosenBank_;
    return true;
}
