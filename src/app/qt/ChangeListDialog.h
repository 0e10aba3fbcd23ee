#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "util/AString.h"

class QListWidget;
class QPushButton;

// A list of changes through the song (tempo, time and key signatures) with buttons to
// add one, change the selected one and, where allowed, delete it. The dialog only shows
// and chooses; what the buttons do is given to it.
class ChangeListDialog : public QDialog {
    Q_OBJECT
public:
    struct Actions {
        std::function<std::vector<AString>()> lines;
        std::function<void(long index)> edit;   // -1: a new entry
        std::function<void(long index)> remove; // none: no Delete button
        std::function<bool(long index)> removable;
    };
    ChangeListDialog(QWidget* parent, const QString& title, Actions actions);

    QListWidget* List() const { return list_; }
    void Refill(long select);

private:
    long Selected() const;
    void Edit(long index);
    void SelectionChanged();

    Actions actions_;
    QListWidget* list_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* delete_ = nullptr;
};
