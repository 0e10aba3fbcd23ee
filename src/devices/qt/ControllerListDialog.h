#pragma once

#include "devices/ControllerList.h"
#include "devices/qt/DefinitionListDialog.h"

// "Controllers Definition": the controller definitions of the home directory by number;
// a change goes through "Controller Definition".
class ControllerListDialog : public DefinitionListDialog {
    Q_OBJECT
public:
    explicit ControllerListDialog(QWidget* parent);

    static void Run(QWidget* parent);

private:
    void Refill(int row);
    void Add() override;
    void Change() override;
    void Delete() override;

    ControllerList controllers_;
};
