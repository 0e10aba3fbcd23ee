#pragma once

#include <QDialog>

#include "views/ViewFilterChoice.h"

class QCheckBox;
class QListWidget;

// "View Filter Selection": which tracks, channels and instruments a view shows. The
// narrow form offers the tracks only. OK is refused while a ticked "all" box is off and
// its list has nothing selected.
class ViewFilterDialog : public QDialog {
    Q_OBJECT
public:
    ViewFilterDialog(QWidget* parent, const ViewFilterChoice& choice, std::size_t trackCount);

    ViewFilterChoice Choice() const;
    void accept() override;

    // Shows the dialog; true on OK, with `choice` updated.
    static bool Ask(QWidget* parent, ViewFilterChoice& choice, std::size_t trackCount);

private:
    QListWidget* tracks_ = nullptr;
    QCheckBox* allTracks_ = nullptr;
    QListWidget* channels_ = nullptr;
    QCheckBox* allChannels_ = nullptr;
    QListWidget* instruments_ = nullptr;
    QCheckBox* allInstruments_ = nullptr;
    bool tracksOnly_ = false;
};
