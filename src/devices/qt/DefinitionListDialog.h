#pragma once

#include <vector>

#include "devices/qt/DefinitionDialog.h"
#include "util/AString.h"

class QListWidget;

// A list of the definition files of one kind, with "Add", "Change" and "Delete" beside
// it, each done at once, and OK under it.
class DefinitionListDialog : public DefinitionDialog {
    Q_OBJECT
protected:
    DefinitionListDialog(QWidget* parent, const QString& title, const QString& listName);

    // Shows the entries and selects `row` (-1 none).
    void ShowEntries(const std::vector<AString>& entries, int row);
    int Row() const;

    virtual void Add() = 0;
    virtual void Change() = 0;
    virtual void Delete() = 0;

    QListWidget* list_ = nullptr;
};
