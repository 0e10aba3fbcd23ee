#pragma once

#include "devices/ControllerList.h"
#include "devices/qt/DefinitionDialog.h"

class QListWidget;

// "Controllers Definition": the controller definitions of the home directory by number,
// each added, changed (through "Controller Definition") or deleted at once.
class ControllerListDialog : public DefinitionDialog {
    Q_OBJECT
public:
    explicit ControllerListDialog(QWidget* parent);

    static void Run(QWidget* parent);

private:
    void Refill(int row);
    void Add();
    void Change();
    void Delete();

    ControllerList controllers_;
    QListWidget* list_ = nullptr;
};
