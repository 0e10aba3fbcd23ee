#include "views/qt/ControllerSelDialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "views/ControllerSelChoice.h"
#include "views/qt/QtDrawSurface.h"

ControllerSelDialog::ControllerSelDialog(QWidget* parent, const MidiDevice* device,
                                         std::uint8_t controller)
    : QDialog(parent) {
    setWindowTitle("Controller Selection");
    list_ = new QListWidget(this);
    const ControllerSelChoice choice(device);
    for (const AString& entry : choice.Entries())
        list_->addItem(QtDrawSurface::ToQString(entry.str()));
    list_->setCurrentRow(ControllerSelChoice::IndexOf(controller));
    list_->setMinimumSize(240, 300);
    connect(list_, &QListWidget::itemDoubleClicked, this, &ControllerSelDialog::accept);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ControllerSelDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

std::uint8_t ControllerSelDialog::Chosen() const {
    return ControllerSelChoice::ControllerAt(list_->currentRow());
}

void ControllerSelDialog::accept() {
    if (const Refusal refusal = ControllerSelChoice::Check(list_->currentRow())) {
        ShowMessage(refusal.AsMessage());
        return;
    }
    QDialog::accept();
}

bool ControllerSelDialog::Ask(QWidget* parent, const MidiDevice* device, std::uint8_t& controller) {
    ControllerSelDialog dialog(parent, device, controller);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    controller = dialog.Chosen();
    return true;
}
