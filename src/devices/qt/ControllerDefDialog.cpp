#include "devices/qt/ControllerDefDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

QString Text(const AString& text) {
    return QString::fromStdString(text.str());
}

AString Text(const QLineEdit* edit) {
    return AString(edit->text().toStdString());
}

} // namespace

ControllerDefDialog::ControllerDefDialog(QWidget* parent, MidiController& controller)
    : DefinitionDialog(parent, "Controller Definition"), controller_(controller) {
    const ControllerForm form(controller);
    auto* grid = new QGridLayout;
    auto edit = [this, grid](const AString& value, const char* label, const char* name, int row,
                             int column) {
        auto* field = new QLineEdit(Text(value), this);
        if (*label)
            grid->addWidget(new QLabel(label, this), row, column - 1);
        grid->addWidget(Named(field, name), row, column);
        return field;
    };
    name_ = edit(form.name, "Controller Name:", "Controller Name", 0, 1);
    number_ = edit(form.number, "Controller Number:", "Controller Number", 1, 1);
    onOff_ = new QCheckBox("On/Off Controller", this);
    onOff_->setChecked(form.onOff);
    grid->addWidget(onOff_, 2, 0, 1, 4);

    // The range and default mean nothing to a switch; they are hidden while it is one.
    auto* rangeLabel = new QLabel("Controller Range:", this);
    auto* dashes = new QLabel("--", this);
    auto* defaultLabel = new QLabel("Default Value:", this);
    grid->addWidget(rangeLabel, 3, 0);
    low_ = edit(form.low, "", "Controller Range", 3, 1);
    grid->addWidget(dashes, 3, 2);
    high_ = edit(form.high, "", "Controller Range To", 3, 3);
    grid->addWidget(defaultLabel, 4, 0);
    default_ = edit(form.defaultValue, "", "Default Value", 4, 1);
    const std::vector<QWidget*> rangeFields = {rangeLabel, low_,         dashes,
                                               high_,      defaultLabel, default_};
    auto showRange = [rangeFields](bool onOff) {
        for (QWidget* w : rangeFields)
            w->setVisible(!onOff);
    };
    showRange(form.onOff);
    connect(onOff_, &QCheckBox::toggled, this, showRange);

    SetCheck([this] {
        ControllerForm typed(controller_);
        typed.name = Text(name_);
        typed.number = Text(number_);
        typed.onOff = onOff_->isChecked();
        typed.low = Text(low_);
        typed.high = Text(high_);
        typed.defaultValue = Text(default_);
        return typed.ApplyTo(controller_);
    });
    Finish(grid);
}

bool ControllerDefDialog::Edit(QWidget* parent, MidiController& controller) {
    ControllerDefDialog dialog(parent, controller);
    return dialog.exec() == QDialog::Accepted;
}
