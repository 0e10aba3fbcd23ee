#include "views/qt/ViewFilterDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "model/Instruments.h"
#include "util/Messages.h"

namespace {

// A list with its "all" box, which greys the list while ticked.
QListWidget* Column(QHBoxLayout* row, QWidget* parent, const QString& title, QCheckBox*& all,
                    bool allOn) {
    auto* box = new QVBoxLayout;
    box->addWidget(new QLabel(title, parent));
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    box->addWidget(list);
    all = new QCheckBox("All " + title.toLower(), parent);
    all->setChecked(allOn);
    list->setEnabled(!allOn);
    QObject::connect(all, &QCheckBox::toggled, list, [list](bool on) { list->setEnabled(!on); });
    box->addWidget(all);
    row->addLayout(box);
    return list;
}

template <class Flags> void Select(QListWidget* list, const Flags& flags) {
    for (int i = 0; i < list->count() && static_cast<std::size_t>(i) < flags.size(); ++i)
        list->item(i)->setSelected(flags[static_cast<std::size_t>(i)]);
}

template <class Flags> void Read(const QListWidget* list, Flags& flags) {
    for (int i = 0; i < list->count() && static_cast<std::size_t>(i) < flags.size(); ++i)
        flags[static_cast<std::size_t>(i)] = list->item(i)->isSelected();
}

} // namespace

ViewFilterDialog::ViewFilterDialog(QWidget* parent, const ViewFilterChoice& choice,
                                   std::size_t trackCount)
    : QDialog(parent), tracksOnly_(choice.tracksOnly) {
    setWindowTitle("View Filter Selection");
    auto* row = new QHBoxLayout;
    tracks_ = Column(row, this, "Tracks", allTracks_, choice.allTracks);
    for (std::size_t t = 0; t < trackCount; ++t)
        tracks_->addItem(QString("Track %1").arg(t + 1));
    Select(tracks_, choice.tracks);
    if (!tracksOnly_) {
        channels_ = Column(row, this, "Channels", allChannels_, choice.allChannels);
        for (int ch = 1; ch <= 16; ++ch)
            channels_->addItem(QString("Channel %1").arg(ch));
        Select(channels_, choice.channels);
        instruments_ = Column(row, this, "Instruments", allInstruments_, choice.allInstruments);
        for (int p = 0; p < 128; ++p)
            instruments_->addItem(InstrumentName(p));
        Select(instruments_, choice.instruments);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

ViewFilterChoice ViewFilterDialog::Choice() const {
    ViewFilterChoice c;
    c.tracksOnly = tracksOnly_;
    c.allTracks = allTracks_->isChecked();
    c.tracks.resize(static_cast<std::size_t>(tracks_->count()));
    for (int i = 0; i < tracks_->count(); ++i)
        c.tracks[static_cast<std::size_t>(i)] = tracks_->item(i)->isSelected();
    if (!tracksOnly_) {
        c.allChannels = allChannels_->isChecked();
        Read(channels_, c.channels);
        c.allInstruments = allInstruments_->isChecked();
        Read(instruments_, c.instruments);
    }
    return c;
}

void ViewFilterDialog::accept() {
    ViewFilter probe;
    if (Refusal refusal = Choice().ApplyTo(probe)) {
        ShowMessage(refusal.AsMessage()); // the dialog stays open
        return;
    }
    QDialog::accept();
}

bool ViewFilterDialog::Ask(QWidget* parent, ViewFilterChoice& choice, std::size_t trackCount) {
    ViewFilterDialog dialog(parent, choice, trackCount);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const bool tracksOnly = choice.tracksOnly;
    choice = dialog.Choice();
    choice.tracksOnly = tracksOnly;
    return true;
}
