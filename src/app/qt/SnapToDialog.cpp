#include "app/qt/SnapToDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <cmath>

const SnapToDialog::Choice SnapToDialog::kChoices[12] = {
    {"No snap", 0.0},
    {"Whole note", 1.0},
    {"Half note", 1.0 / 2},
    {"Quarter note", 1.0 / 4},
    {"Eighth note", 1.0 / 8},
    {"Sixteenth note", 1.0 / 16},
    {"Thirty-second note", 1.0 / 32},
    {"Sixty-fourth note", 1.0 / 64},
    {"Half-note triplet", 1.0 / 3},
    {"Quarter-note triplet", 1.0 / 6},
    {"Eighth-note triplet", 1.0 / 12},
    {"Sixteenth-note triplet", 1.0 / 24},
};

SnapToDialog::SnapToDialog(QWidget* parent, double current) : QDialog(parent) {
    setWindowTitle("Mouse Snap-To Resolution");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Move notes by:", this));
    list_ = new QListWidget(this);
    for (const Choice& c : kChoices) {
        list_->addItem(c.name);
        if (std::fabs(c.fraction - current) < 1e-9)
            list_->setCurrentRow(list_->count() - 1);
    }
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

double SnapToDialog::Chosen() const {
    const int row = list_->currentRow();
    return row >= 0 && row < 12 ? kChoices[row].fraction : 0.0;
}

bool SnapToDialog::Ask(QWidget* parent, double& snap) {
    SnapToDialog dialog(parent, snap);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    snap = dialog.Chosen();
    return true;
}
