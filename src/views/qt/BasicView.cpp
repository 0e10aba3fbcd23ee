#include "views/qt/BasicView.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QPushButton>
#include <QToolButton>

#include "model/Instruments.h"
#include "model/Song.h"
#include "util/Messages.h"
#include "views/BankChoice.h"
#include "views/SubWindowMaker.h"
#include "views/ViewFilterChoice.h"
#include "views/qt/BankSelectDialog.h"
#include "views/qt/NoteLengthIcons.h"
#include "views/qt/ViewFilterDialog.h"

namespace {

const char* const kLengthNames[7] = {"IDC_NOTE_64", "IDC_NOTE_32", "IDC_NOTE_16", "IDC_NOTE_8",
                                     "IDC_NOTE_4",  "IDC_NOTE_2",  "IDC_NOTE_1"};
const char* const kLengthTips[7] = {"make selected 1/64th note", "make selected 1/32 note",
                                    "make selected 1/16 note",   "make selected 1/8 Note",
                                    "make selected 1/4 note",    "make selected 1/2 note",
                                    "make selected whole note"};

// The control's rectangle from the template, or a fallback when the template lacks it.
QRect Place(const SubWindowMaker& strip, const char* name, QRect fallback) {
    const SubWinControl* c = strip.Find(name);
    if (!c)
        return fallback;
    // A drop-down list's written height includes its open list; the strip shows one row.
    const int height = c->kind == SubWinControl::kComboBox ? 26 : c->height;
    return QRect(c->x, c->y, c->width, height);
}

void Tip(QWidget* widget, const char* text, int level) {
    if (level < 3)
        widget->setToolTip(text);
}

} // namespace

BasicView::BasicView(Song& song, ViewCallbacks callbacks, const ViewFilter& filter,
                     const ViewPlacement& placement, const SubWindowMaker* strip, int tooltipLevel,
                     QWidget* parent)
    : SubWindow(song, std::move(callbacks), parent), filter_(filter), placement_(placement) {
    if (strip)
        BuildStrip(*strip, tooltipLevel);
    else
        BuildShortStrip(tooltipLevel);
    // The strip is filled by the kind's constructor: it shows the kind, which is not
    // known yet here.
}

BasicView::~BasicView() = default;

void BasicView::BuildStrip(const SubWindowMaker& strip, int level) {
    kind_ = new QComboBox(this);
    kind_->setObjectName("IDC_VIEW_TYPE");
    kind_->addItems({"Piano Roll", "Staff", "Message"});
    kind_->setGeometry(Place(strip, "IDC_VIEW_TYPE", QRect(2, 2, 92, 26)));
    kind_->setFocusPolicy(Qt::NoFocus);
    Tip(kind_, "View Display Style", level);
    connect(kind_, &QComboBox::activated, this, [this](int index) {
        if (filling_ || index == ViewKind())
            return;
        if (callbacks_.changeKind)
            callbacks_.changeKind(*this, index);
    });

    filterButton_ = new QPushButton(this);
    filterButton_->setObjectName("IDC_VIEW_FILTER_BUTTON");
    filterButton_->setGeometry(Place(strip, "IDC_VIEW_FILTER_BUTTON", QRect(98, 2, 168, 26)));
    filterButton_->setFocusPolicy(Qt::NoFocus);
    Tip(filterButton_, "View Filter", level);
    connect(filterButton_, &QPushButton::clicked, this, &BasicView::ChooseFilter);

    // The placement lists: each choice goes to the view's placement.
    auto placementList = [&](const char* name, QRect fallback, const char* tip, auto store) {
        auto* list = new QComboBox(this);
        list->setObjectName(name);
        list->setGeometry(Place(strip, name, fallback));
        list->setFocusPolicy(Qt::NoFocus);
        Tip(list, tip, level);
        connect(list, &QComboBox::activated, this, [this, store](int index) {
            if (filling_ || index < 0)
                return;
            store(index);
            if (callbacks_.filterChanged)
                callbacks_.filterChanged();
        });
        return list;
    };
    trackList_ = placementList("IDC_PLACEMENT_TRACK", QRect(270, 2, 80, 26), "Selected Track",
                               [this](int i) { placement_.track = static_cast<std::uint16_t>(i); });
    channelList_ =
        placementList("IDC_PLACEMENT_CHANNEL", QRect(354, 2, 88, 26), "Selected Channel",
                      [this](int i) { placement_.channel = static_cast<std::uint8_t>(i); });
    for (int ch = 1; ch <= 16; ++ch)
        channelList_->addItem(QString("Channel %1").arg(ch));

    instrumentList_ = new QComboBox(this);
    instrumentList_->setObjectName("IDC_PLACEMENT_INSTRUMENT");
    instrumentList_->setGeometry(Place(strip, "IDC_PLACEMENT_INSTRUMENT", QRect(446, 2, 148, 26)));
    instrumentList_->setFocusPolicy(Qt::NoFocus);
    instrumentList_->setMaxVisibleItems(20);
    for (int p = 0; p < 128; ++p)
        instrumentList_->addItem(InstrumentName(p));
    instrumentList_->addItem("");
    Tip(instrumentList_, "Selected Instrument", level);
    connect(instrumentList_, &QComboBox::activated, this, &BasicView::InstrumentChosen);

    lengthGroup_ = new QButtonGroup(this);
    lengthGroup_->setExclusive(true);
    for (int i = 0; i < 7; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(kLengthNames[i]);
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(Place(strip, kLengthNames[i], QRect(600 + 26 * i, 2, 24, 26)));
        button->setIcon(NoteLengthIcon(i));
        button->setIconSize(button->size() - QSize(4, 4));
        Tip(button, kLengthTips[i], level);
        lengthGroup_->addButton(button, i);
        lengths_[static_cast<std::size_t>(i)] = button;
    }
    connect(lengthGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        if (!filling_)
            LengthPressed(id);
    });

    auto toggle = [&](const char* name, const char* text, const char* tip, QRect fallback) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(Place(strip, name, fallback));
        Tip(button, tip, level);
        return button;
    };
    dot_ = toggle("IDC_DOT_BUTTON", "Dot", "dot note (1/2 longer)", QRect(788, 2, 44, 26));
    triplet_ =
        toggle("IDC_TRIPLET_BUTTON", "3", "triplet note (1/3 longer)", QRect(836, 2, 36, 26));
    connect(dot_, &QAbstractButton::toggled, this, [this](bool on) {
        if (!filling_)
            DotToggled(on);
    });
    connect(triplet_, &QAbstractButton::toggled, this, [this](bool on) {
        if (!filling_)
            TripletToggled(on);
    });

    close_ = new QPushButton("Close", this);
    close_->setObjectName("IDC_REMOVE_BUTTON");
    close_->setFocusPolicy(Qt::NoFocus);
    close_->setGeometry(Place(strip, "IDC_REMOVE_BUTTON", QRect(880, 2, 56, 26)));
    Tip(close_, "Close View", level);
    connect(close_, &QPushButton::clicked, this, [this] {
        if (callbacks_.close)
            callbacks_.close(*this);
    });
}

void BasicView::BuildShortStrip(int level) {
    kind_ = new QComboBox(this);
    kind_->setObjectName("IDC_VIEW_TYPE");
    kind_->addItems({"Piano Roll", "Standard", "MIDI Msg"});
    kind_->setGeometry(2, 2, 110, 26);
    kind_->setFocusPolicy(Qt::NoFocus);
    Tip(kind_, "View Display Style", level);
    connect(kind_, &QComboBox::activated, this, [this](int index) {
        if (!filling_ && index != ViewKind() && callbacks_.changeKind)
            callbacks_.changeKind(*this, index);
    });
    close_ = new QPushButton("Close", this);
    close_->setObjectName("IDC_REMOVE_BUTTON");
    close_->setFocusPolicy(Qt::NoFocus);
    close_->setGeometry(116, 2, 56, 26);
    Tip(close_, "Close View", level);
    connect(close_, &QPushButton::clicked, this, [this] {
        if (callbacks_.close)
            callbacks_.close(*this);
    });
}

void BasicView::RefreshStrip() {
    filling_ = true;
    kind_->setCurrentIndex(ViewKind());
    if (!trackList_) {
        filling_ = false;
        return;
    }
    filterButton_->setText(QString::fromStdString(filter_.Description().str()));

    const std::size_t tracks = std::max<std::size_t>(song_.TrackCount(), 1);
    if (static_cast<std::size_t>(trackList_->count()) != tracks) {
        trackList_->clear();
        for (std::size_t t = 0; t < tracks; ++t)
            trackList_->addItem(QString("Track #%1").arg(t + 1));
    }
    trackList_->setCurrentIndex(std::min<int>(placement_.track, trackList_->count() - 1));
    channelList_->setCurrentIndex(std::min<int>(placement_.channel, 15));
    instrumentList_->setItemText(
        128, QString::fromStdString(BankChoice::Name(placement_.program, placement_.bank).str()));
    // An instrument from a bank shows as the last entry, which names the bank.
    instrumentList_->setCurrentIndex(placement_.bank >= 0 ? 128
                                                          : std::min<int>(placement_.program, 127));
    filling_ = false;
}

void BasicView::ShowLengths(int button, bool dot, bool triplet) {
    if (!dot_)
        return;
    filling_ = true;
    if (button >= 0 && button < 7)
        lengths_[static_cast<std::size_t>(button)]->setChecked(true);
    dot_->setChecked(dot);
    triplet_->setChecked(triplet);
    filling_ = false;
}

void BasicView::ChooseFilter() {
    ViewFilterChoice choice = ViewFilterChoice::From(filter_, song_.TrackCount());
    if (!ViewFilterDialog::Ask(this, choice, song_.TrackCount()))
        return;
    if (Refusal refusal = choice.ApplyTo(filter_)) {
        ShowMessage(refusal.AsMessage());
        return;
    }
    RefreshStrip();
    Refresh();
    if (callbacks_.filterChanged)
        callbacks_.filterChanged();
}

void BasicView::InstrumentChosen(int index) {
    if (filling_ || index < 0)
        return;
    if (index == 128) {
        ChooseBank();
        return;
    }
    if (!filter_.ShowsInstrument(static_cast<std::size_t>(index))) {
        RefreshStrip(); // the view would not show notes of that instrument
        return;
    }
    placement_.program = static_cast<std::uint8_t>(index);
    placement_.bank = -1;
    AskToChangeTrack(" to this instrument?");
    RefreshStrip();
    if (callbacks_.filterChanged)
        callbacks_.filterChanged();
}

void BasicView::ChooseBank() {
    std::uint8_t program = placement_.program > 127 ? 0 : placement_.program;
    std::int32_t bank = placement_.bank;
    // Like the plain list: an instrument the view would not show is not taken.
    if (!BankSelectDialog::Ask(this, program, bank) || !filter_.ShowsInstrument(program)) {
        RefreshStrip();
        return;
    }
    placement_.program = program;
    placement_.bank = bank;
    AskToChangeTrack(" to this bank/instrument?");
    RefreshStrip();
    if (callbacks_.filterChanged)
        callbacks_.filterChanged();
}

void BasicView::AskToChangeTrack(const char* what) {
    if (placement_.track >= song_.TrackCount())
        return;
    const AString question = AString("Would you like to change all the messages in\ntrack #") +
                             AString::FromInt(placement_.track + 1) + what;
    if (ShowMessage(kAppTitle, question, MessageIcon::Question, MessageButtons::YesNo) ==
            MessageAnswer::Yes &&
        callbacks_.changeTrackInstrument)
        callbacks_.changeTrackInstrument(placement_.track, placement_.program, placement_.bank);
}

void BasicView::TrackDeleted(std::size_t track) {
    removedTracks_.push_back({filter_.RemoveTrack(track), placement_.track});
    filter_.BuildDescription();
    if (placement_.track > track)
        --placement_.track;
    RefreshStrip();
}

void BasicView::TrackRestored(std::size_t track) {
    if (!removedTracks_.empty() && removedTracks_.back().removal.track == track) {
        filter_.RestoreTrack(removedTracks_.back().removal);
        placement_.track = removedTracks_.back().placementTrack;
        removedTracks_.pop_back();
    } else {
        // A view opened after the deletion.
        filter_.RestoreTrack(ViewFilter::TrackRemoval{track});
        if (placement_.track >= track)
            ++placement_.track;
    }
    RefreshStrip();
}
