#include "app/qt/TMDIDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

#include "app/AppCommands.h"
#include "app/AudioFileDeletion.h"
#include "app/RecordWave.h"
#include "app/SongDocument.h"
#include "app/ViewStack.h"
#include "app/qt/MidiRecordCommand.h"
#include "app/qt/RecordWaveDialog.h"
#include "app/qt/SnapToDialog.h"
#include "app/qt/SongDialogs.h"
#include "app/qt/TVorlaune.h"
#include "app/qt/WaveToMIDIDialog.h"
#include "devices/qt/DeviceSelDialog.h"
#include "edit/MC_DeleteTrack.h"
#include "edit/MC_PasteBlock.h"
#include "edit/MC_SongDeviceFile.h"
#include "edit/MC_TrackProperties.h"
#include "model/Song.h"
#include "model/SongIter.h"
#include "playback/MidiPlayer.h"
#include "playback/VorlauneGuts.h"
#include "record/VoiceNotesPaste.h"
#include "record/WaveCapture.h"
#include "record/WaveToNotes.h"
#include "util/HomeDirectory.h"
#include "util/INIFile.h"
#include "util/Messages.h"
#include "views/qt/MidiMsgView.h"
#include "views/qt/PianoRollView.h"
#include "views/qt/StaffView.h"

namespace {

struct OptionInfo {
    const char* label;
    const char* tip;
    const char* key; // "" when the state is not kept
    bool fallback;
};

constexpr OptionInfo kOptionInfo[TMDIDialog::kOptionCount] = {
    {"Hes", "Play Changed Note On Hesitation On/Off", "HesitatePlay", true},
    {"1 View", "Play Only Current View On/Off", "PlayOnlyCurrentView", false},
    {"Auto", "Auto Rewind On/Off", "AutoRewind", true},
    {"Key", "Move Pitch To Musical Key On/Off", "MovePitchToKey", false},
    {"Place", "Show Mouse Note Placement On/Off", "ShowNotePlacement", true},
    {"Lyr", "Show Lyrics On/Off", "ShowLyrics", true},
    {"Ctl", "Show Special Effects Controller Graph On/Off", "", false},
    {"P+R", "Play when Recording", "PlayDuringRecord", true},
};

constexpr int kTimerMs = 750;
constexpr int kPeriodicMs = 700;
constexpr qint64 kAutosaveMs = 120000;

bool ReadOption(const OptionInfo& info) {
    if (!*info.key)
        return info.fallback;
    INIFile* ini = INIFile::Global();
    return ini ? ini->ReadInt(info.key, info.fallback ? 1 : 0) != 0 : info.fallback;
}

} // namespace

TMDIDialog::TMDIDialog(TVorlaune& app, std::unique_ptr<SongDocument> document, bool advanced,
                       QWidget* parent)
    : QWidget(parent), app_(app), document_(std::move(document)), scroll_(document_->GetSong()),
      transport_(*this), advanced_(advanced) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMinimumSize(480, 320);
    viewArea_ = new QWidget(this);
    vertical_ = new QScrollBar(Qt::Vertical, this);
    vertical_->setFocusPolicy(Qt::NoFocus);
    connect(vertical_, &QScrollBar::valueChanged, this, [this](int value) {
        firstShown_ = value;
        LayoutViews();
    });
    horizontal_ = new QScrollBar(Qt::Horizontal, this);
    horizontal_->setFocusPolicy(Qt::NoFocus);
    horizontal_->setPageStep(1);
    connect(horizontal_, &QScrollBar::actionTriggered, this, &TMDIDialog::HorizontalAction);
    BuildToolBar();
    for (int o = 0; o < kOptionCount; ++o)
        options_[static_cast<std::size_t>(o)]->setChecked(ReadOption(kOptionInfo[o]));
    transport_.SetAutoRewind(OptionOn(kAutoRewind));

    document_->Commands().SetChangeCallback([this] {
        RefreshCaption();
        app_.UndoStateChanged(this);
    });
    connect(&timer_, &QTimer::timeout, this, &TMDIDialog::Tick);
    timer_.start(kTimerMs);
    lastAutosave_ = QDateTime::currentMSecsSinceEpoch();
}

TMDIDialog::~TMDIDialog() {
    timer_.stop();
    document_->Commands().SetChangeCallback({});
    // Views hold editors over the song: they go before the document.
    for (SubWindow* view : views_)
        delete view;
    views_.clear();
}

QString TMDIDialog::Caption() const {
    return QString::fromStdString(document_->Caption().str());
}

bool TMDIDialog::IsModified() const {
    return document_->IsModified();
}

// The main window shows a maximised song window's title too, where Qt's modified mark
// would appear as it is written: the mark is spelled out instead.
void TMDIDialog::RefreshCaption() {
    setWindowTitle(Caption() + (IsModified() ? " *" : ""));
}

void TMDIDialog::MarkSaved() {
    document_->MarkSaved();
    RefreshCaption();
}

// --- tool bar ------------------------------------------------------------------------

void TMDIDialog::BuildToolBar() {
    toolBar_ = new QWidget(this);
    auto* row = new QHBoxLayout(toolBar_);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(2);
    for (int o = 0; o < kOptionCount; ++o) {
        auto* button = new QToolButton(toolBar_);
        button->setText(kOptionInfo[o].label);
        button->setToolTip(kOptionInfo[o].tip);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setObjectName(QString("option%1").arg(o));
        const Option option = static_cast<Option>(o);
        connect(button, &QToolButton::clicked, this,
                [this, option](bool on) { OptionPressed(option, on); });
        options_[static_cast<std::size_t>(o)] = button;
        row->addWidget(button);
    }
    row->addSpacing(12);
    auto add = [&](QStyle::StandardPixmap icon, const char* tip, auto action) {
        auto* button = new QToolButton(toolBar_);
        button->setIcon(style()->standardIcon(icon));
        if (*tip)
            button->setToolTip(tip);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, action);
        row->addWidget(button);
        return button;
    };
    auto push = [&](const char* text, const char* tip, auto action) {
        auto* button = new QPushButton(text, toolBar_);
        button->setToolTip(tip);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, action);
        row->addWidget(button);
        return button;
    };
    add(QStyle::SP_MediaSkipBackward, "", [this] { Command(cmd::kRewindToBeginning); });
    add(QStyle::SP_MediaSeekBackward, "", [this] { Command(cmd::kRewind); });
    add(QStyle::SP_MediaStop, "", [this] { Command(cmd::kStop); });
    add(QStyle::SP_MediaPlay, "", [this] { Command(cmd::kPlay); });
    push("MIDI", "Record MIDI Notes", [this] { app_.Command(cmd::kRecordMidi); });
    push("Wave", "Record Wave", [this] { app_.Command(cmd::kRecordWave); });
    add(QStyle::SP_MediaSeekForward, "", [this] { Command(cmd::kForward); });
    add(QStyle::SP_MediaSkipForward, "", [this] { Command(cmd::kForwardToEnd); });
    push("Voice", "Wave/Voice to MIDI Notes", [this] { app_.Command(cmd::kVoiceToNotes); });
    push("Snap", "Mouse Snap-To Resolution", [this] { Command(cmd::kSnapTo); });
    push("New View", "New View - For New Track And/Or Instrument",
         [this] { Command(cmd::kNewView); });
    row->addStretch(1);
}

bool TMDIDialog::OptionOn(Option option) const {
    return options_[static_cast<std::size_t>(option)]->isChecked();
}

void TMDIDialog::SetOption(Option option, bool on) {
    options_[static_cast<std::size_t>(option)]->setChecked(on);
    OptionPressed(option, on);
}

void TMDIDialog::OptionPressed(Option option, bool on) {
    const OptionInfo& info = kOptionInfo[option];
    if (*info.key)
        if (INIFile* ini = INIFile::Global())
            ini->WriteInt(info.key, on ? 1 : 0);
    if (option == kAutoRewind)
        transport_.SetAutoRewind(on);
    if (option == kShowControllerGraph)
        for (SubWindow* view : views_)
            view->Refresh();
    if (option == kShowLyrics)
        for (SubWindow* view : views_)
            view->update();
    app_.RefreshChecks();
}

void TMDIDialog::LaterFeature(const char* what) {
    ShowMessage(kAppTitle, AString(what) + " is not available in this version of Vorlaune.",
                MessageIcon::Information);
}

// Every other audio cue of every open song counts: a file one of them still plays is
// not this cue's alone.
NoteEditorHost::AudioFileCheck TMDIDialog::CheckAudioFile(const AString& fileName,
                                                          const MidiMsg& cue) {
    std::vector<AudioFileDeletion::OtherCue> others;
    for (const TMDIDialog* window : app_.SongWindows()) {
        Song& song = window->Document().GetSong();
        const AString folder = window->Document().Folder();
        SongIter it(song);
        for (bool ok = it.Seek(0); ok; ok = it.Next()) {
            const MidiMsg* m = it.Msg();
            if (m == &cue || m->kind != kMsgText)
                continue;
            const auto& text = static_cast<const MidiMsgText&>(*m);
            const AString prefix(NoteEditor::kAudioPrefix);
            if (text.textType == 7 && text.text.StartsWith(NoteEditor::kAudioPrefix))
                others.push_back({text.text.Mid(prefix.Length()), folder});
        }
    }
    const AudioFileDeletion verdict =
        AudioFileDeletion::Check(fileName, document_->Folder(), others);
    return {AString(verdict.path.string()), verdict.reason};
}

// --- views ---------------------------------------------------------------------------

ViewCallbacks TMDIDialog::Callbacks() {
    ViewCallbacks c;
    c.changed = [this](bool songChanged) { ViewChanged(songChanged); };
    c.movePitchToKey = [this] { return OptionOn(kMovePitchToKey); };
    c.hesitatePlay = [this] { return OptionOn(kHesitatePlay); };
    c.showLyrics = [this] { return OptionOn(kShowLyrics); };
    c.snapTo = [this] { return snapTo_; };
    c.transport = [this](KeyOperation op) { KeyOperationCommand(op); };
    c.playRange = [this](std::int32_t from, std::int32_t to) { transport_.PlayRange(from, to); };
    c.setPlayBar = [this](std::int32_t tick) { transport_.SetPlayPosition(tick); };
    c.soundNote = [this](const MidiMsgNote& note) {
        if (!OptionOn(kHesitatePlay) || !app_.Guts().SoundNoteOn(note))
            return;
        // As long as the note, within reason.
        const std::int64_t ms = std::clamp<std::int64_t>(
            std::int64_t{note.duration} * 500 / std::max(TicksPerQuarter(), 1), 150, 2000);
        const MidiMsgNote ended = note;
        VorlauneGuts* guts = &app_.Guts(); // outlives this window
        QTimer::singleShot(static_cast<int>(ms), &app_,
                           [guts, ended] { guts->SoundNoteOff(ended); });
    };
    c.changeTrackInstrument = [this](std::uint16_t track, std::uint8_t program, std::int32_t bank) {
        ChangeTrackInstrument(track, program, bank);
    };
    c.filterChanged = [this] { app_.RefreshChecks(); };
    c.changeKind = [this](SubWindow& view, int kind) { ChangeViewKind(&view, kind); };
    c.close = [this](SubWindow& view) { CloseView(&view); };
    c.activate = [this](SubWindow& view) {
        const auto it = std::find(views_.begin(), views_.end(), &view);
        if (it != views_.end())
            ActivateView(static_cast<int>(it - views_.begin()));
    };
    c.scrollTime = [this] { return scroll_.Time(); };
    c.scrollToShow = [this](std::int32_t tick) { ScrollTo(tick); };
    c.scrollBy = [this](std::int32_t ticks) { ScrollTo(std::max(scroll_.Time() + ticks, 0)); };
    c.showNotePlacement = [this] { return OptionOn(kShowNotePlacement); };
    c.showControllerGraph = [this] { return OptionOn(kShowControllerGraph); };
    c.playPosition = [this] { return transport_.PlayPosition(); };
    c.playing = [this] { return PlayerBusy(); };
    c.checkAudioFile = [this](const AString& fileName, const MidiMsg& cue) {
        return CheckAudioFile(fileName, cue);
    };
    return c;
}

SubWindow* TMDIDialog::MakeView(int kind, const ViewFilter& filter, int track) {
    Song& song = document_->GetSong();
    ViewPlacement placement;
    placement.track = static_cast<std::uint16_t>(std::max(track, 0));
    std::uint8_t channel = 0, program = 0;
    std::int32_t bank = -1;
    song.GetTrackProperties(static_cast<std::size_t>(std::max(track, 0)), channel, program, bank);
    placement.channel = channel == 255 ? 0 : channel;
    placement.program = program == 255 ? 0 : program;
    placement.bank = program == 255 ? -1 : bank;
    return MakeView(kind, filter, placement);
}

SubWindow* TMDIDialog::MakeView(int kind, const ViewFilter& filter,
                                const ViewPlacement& placement) {
    Song& song = document_->GetSong();
    SubWindow* view = nullptr;
    if (kind == SubWindow::kMessage)
        view = new MidiMsgView(song, Callbacks(), filter, placement, 0, viewArea_);
    else if (kind == SubWindow::kPianoRoll)
        view = new PianoRollView(song, document_->Commands(), Callbacks(), filter, placement,
                                 app_.Strip(), 0, viewArea_);
    else
        view = new StaffView(song, document_->Commands(), Callbacks(), filter, placement,
                             app_.Strip(), 0, viewArea_);
    view->ShowPlayBar(transport_.PlayPosition());
    view->show();
    return view;
}

void TMDIDialog::FirstLayout() {
    if (laidOut_)
        return;
    laidOut_ = true;
    Song& song = document_->GetSong();
    const int count = std::clamp(static_cast<int>(song.TrackCount()), 1, ViewStack::kMaxViews);
    for (int i = 0; i < count; ++i) {
        ViewFilter filter;
        if (song.TrackCount() > 0)
            filter.ShowOnlyTrack(static_cast<std::size_t>(i));
        filter.BuildDescription();
        views_.push_back(MakeView(SubWindow::kStaff, filter, i));
    }
    RefreshCaption();
    ScrollChanged();
    LayoutViews();
    ActivateView(0);
}

void TMDIDialog::LayoutViews() {
    const int areaHeight = viewArea_->height();
    const QScreen* screen = this->screen();
    const int minHeight = ViewStack::MinimumHeight(screen ? screen->size().height() : 1080);
    const int count = static_cast<int>(views_.size());
    const int shown = ViewStack::VisibleCount(count, areaHeight, minHeight);
    const bool scrolls = shown < count;
    vertical_->setVisible(scrolls);
    vertical_->setRange(0, std::max(count - shown, 0));
    vertical_->setPageStep(std::max(shown, 1));
    firstShown_ = std::clamp(firstShown_, 0, std::max(count - shown, 0));
    for (SubWindow* view : views_)
        view->hide();
    const int width = viewArea_->width();
    for (const ViewStack::Slot& slot :
         ViewStack::Layout(count, areaHeight, minHeight, firstShown_)) {
        SubWindow* view = views_[static_cast<std::size_t>(slot.view)];
        view->setGeometry(0, slot.y, width, slot.height);
        view->show();
    }
}

void TMDIDialog::resizeEvent(QResizeEvent* event) {
    const int w = width(), h = height();
    const int areaHeight = std::max(h - kToolBarHeight - kScrollBarSize, 0);
    toolBar_->setGeometry(0, h - kToolBarHeight, w, kToolBarHeight);
    horizontal_->setGeometry(0, areaHeight, w, kScrollBarSize);
    const bool scrolls = vertical_->isVisible();
    viewArea_->setGeometry(0, 0, w - (scrolls ? kScrollBarSize : 0), areaHeight);
    vertical_->setGeometry(w - kScrollBarSize, 0, kScrollBarSize, areaHeight);
    LayoutViews();
    // The scroll bar may have appeared or gone: the area follows it.
    viewArea_->setGeometry(0, 0, w - (vertical_->isVisible() ? kScrollBarSize : 0), areaHeight);
    LayoutViews();
    QWidget::resizeEvent(event);
}

void TMDIDialog::paintEvent(QPaintEvent* /*event*/) {
    // The tool bar's band: a quiet gradient under the buttons.
    QPainter painter(this);
    const QRect band(0, height() - kToolBarHeight, width(), kToolBarHeight);
    QLinearGradient gradient(band.topLeft(), band.bottomLeft());
    gradient.setColorAt(0, palette().window().color().lighter(104));
    gradient.setColorAt(1, palette().window().color().darker(112));
    painter.fillRect(band, gradient);
}

SubWindow* TMDIDialog::ActiveView() const {
    if (activeView_ < 0 || activeView_ >= static_cast<int>(views_.size()))
        return nullptr;
    return views_[static_cast<std::size_t>(activeView_)];
}

void TMDIDialog::ActivateView(int index) {
    if (index < 0 || index >= static_cast<int>(views_.size()))
        return;
    if (SubWindow* old = ActiveView())
        old->SetActive(false);
    activeView_ = index;
    SubWindow* view = views_[static_cast<std::size_t>(index)];
    view->SetActive(true);
    view->setFocus();
    // Make sure it shows.
    const int shown = vertical_->pageStep();
    if (index < firstShown_ || index >= firstShown_ + shown)
        vertical_->setValue(std::max(index - shown + 1, 0));
    app_.RefreshChecks();
}

bool TMDIDialog::NewView() {
    if (static_cast<int>(views_.size()) >= ViewStack::kMaxViews) {
        ShowMessage(kAppTitle,
                    "Because of resource limitations, there is a limit on the number of views "
                    "created.\n\nTo see another track, select the 'Track #' filter button and "
                    "select the appropriate tracks",
                    MessageIcon::Information);
        return false;
    }
    Song& song = document_->GetSong();
    const int tracks = static_cast<int>(song.TrackCount());
    const int track = std::min(static_cast<int>(views_.size()), std::max(tracks - 1, 0));
    ViewFilter filter;
    if (tracks > 0)
        filter.ShowOnlyTrack(static_cast<std::size_t>(track));
    filter.BuildDescription();
    views_.push_back(MakeView(SubWindow::kStaff, filter, track));
    resizeEvent(nullptr);
    ActivateView(static_cast<int>(views_.size()) - 1);
    return true;
}

void TMDIDialog::DeleteView(int index) {
    if (views_.size() <= 1 || index < 0 || index >= static_cast<int>(views_.size()))
        return;
    SubWindow* view = views_[static_cast<std::size_t>(index)];
    views_.erase(views_.begin() + index);
    view->deleteLater();
    view->hide();
    if (activeView_ >= static_cast<int>(views_.size()) || activeView_ == index)
        activeView_ = -1;
    resizeEvent(nullptr);
    ActivateView(std::min(index, static_cast<int>(views_.size()) - 1));
}

void TMDIDialog::CloseView(SubWindow* view) {
    const auto it = std::find(views_.begin(), views_.end(), view);
    if (it == views_.end())
        return;
    if (views_.size() == 1) {
        ShowMessage(kAppTitle, "The last view of a song cannot be closed.",
                    MessageIcon::Information);
        return;
    }
    DeleteView(static_cast<int>(it - views_.begin()));
}

// The view is replaced by one of the other kind, with its filter and placement.
void TMDIDialog::ChangeViewKind(SubWindow* view, int kind) {
    auto* basic = dynamic_cast<BasicView*>(view);
    const auto it = std::find(views_.begin(), views_.end(), view);
    if (!basic || it == views_.end() || kind == view->ViewKind())
        return;
    ViewFilter filter = basic->Filter();
    filter.SetKind(kAllKinds);
    SubWindow* replacement = MakeView(kind, filter, basic->Placement());
    const int index = static_cast<int>(it - views_.begin());
    *it = replacement;
    // The old view goes once the signal that asked for the change has returned.
    view->hide();
    view->deleteLater();
    if (activeView_ == index)
        activeView_ = -1;
    LayoutViews();
    ActivateView(index);
}

void TMDIDialog::ViewChanged(bool songChanged) {
    if (songChanged)
        SongChanged();
    else
        for (SubWindow* v : views_)
            v->update();
}

void TMDIDialog::SongChanged() {
    scroll_.Revalidate();
    ScrollChanged();
    for (SubWindow* view : views_)
        view->Refresh();
}

void TMDIDialog::ChangeTrackInstrument(std::uint16_t track, std::uint8_t program,
                                       std::int32_t bank) {
    // Channel "none" leaves the track's channel as it is.
    document_->Commands().Submit(std::make_unique<MC_TrackProperties>(document_->GetSong(), track,
                                                                      kNoChannel, program, bank));
    SongChanged();
}

// --- scrolling -----------------------------------------------------------------------

void TMDIDialog::ScrollChanged() {
    settingScroll_ = true;
    horizontal_->setRange(0, std::max(scroll_.LastBar(), 0));
    horizontal_->setValue(scroll_.Bar());
    settingScroll_ = false;
    for (SubWindow* view : views_)
        view->update();
}

void TMDIDialog::HorizontalAction(int action) {
    bool moved = false;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        moved = scroll_.LineLeft();
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        moved = scroll_.LineRight();
        break;
    case QAbstractSlider::SliderPageStepSub:
        moved = scroll_.PageLeft();
        break;
    case QAbstractSlider::SliderPageStepAdd:
        moved = scroll_.PageRight();
        break;
    case QAbstractSlider::SliderToMinimum:
        moved = scroll_.Home();
        break;
    case QAbstractSlider::SliderToMaximum:
        moved = scroll_.End();
        break;
    case QAbstractSlider::SliderMove:
        moved = scroll_.ToBar(horizontal_->sliderPosition());
        break;
    default:
        break;
    }
    (void)moved;
    // The bar follows the grid, not Qt's own idea of the step.
    QTimer::singleShot(0, this, [this] { ScrollChanged(); });
}

bool TMDIDialog::ScrollLineRight() {
    const bool moved = scroll_.LineRight();
    if (moved)
        ScrollChanged();
    return moved;
}

bool TMDIDialog::ScrollPageRight() {
    const bool moved = scroll_.PageRight();
    if (moved)
        ScrollChanged();
    return moved;
}

void TMDIDialog::ScrollTo(std::int32_t tick) {
    if (scroll_.ToTime(tick))
        ScrollChanged();
}

// --- transport -----------------------------------------------------------------------

bool TMDIDialog::PlayerBusy() const {
    return app_.Guts().Player().MMSystemInUse() || app_.Guts().PlayingSong() != nullptr;
}

void TMDIDialog::StopPlayer() {
    app_.Guts().StopRequest();
}

void TMDIDialog::StartPlayer(std::int32_t from, std::int32_t to) {
    VorlauneGuts& guts = app_.Guts();
    app_.SetPlayingWindow(this);
    guts.SetStopCallback([this] { OnPlayStopped(); });
    const ViewFilter* filter = nullptr;
    if (OptionOn(kPlayOnlyCurrentView))
        if (auto* basic = dynamic_cast<BasicView*>(ActiveView()))
            filter = &basic->Filter();
    timer_.stop();
    guts.Play(&document_->GetSong(), from, to, filter);
}

std::int32_t TMDIDialog::SongEnd() const {
    return document_->GetSong().LastTick();
}

std::int32_t TMDIDialog::TicksPerQuarter() const {
    return document_->GetSong().TicksPerQuarter();
}

std::int32_t TMDIDialog::FirstVisibleTick() const {
    const SubWindow* view = ActiveView();
    return view ? view->FirstVisibleTick() : scroll_.Time();
}

std::int32_t TMDIDialog::LastVisibleTick() const {
    const SubWindow* view = ActiveView();
    return view ? view->LastVisibleTick() : scroll_.Time();
}

void TMDIDialog::ScrollViewsTo(std::int32_t tick) {
    ScrollTo(tick);
}

void TMDIDialog::ShowPlayBar(std::int32_t tick) {
    for (SubWindow* view : views_)
        if (view->isVisible())
            view->ShowPlayBar(tick);
}

std::int32_t TMDIDialog::NextEventTime(std::int32_t tick) const {
    SongIter it(document_->GetSong());
    return it.Seek(tick) ? it.Tick() : -1;
}

void TMDIDialog::OnPlayPosition(std::int32_t tick) {
    if (closing_)
        return;
    transport_.OnPosition(tick, app_.Guts().Player().NumDrawPostMessagesSentOut());
}

void TMDIDialog::OnPlayStopped() {
    if (app_.PlayingWindow() == this)
        app_.SetPlayingWindow(nullptr);
    transport_.OnStopped();
    timer_.start(kTimerMs);
}

void TMDIDialog::KeyOperationCommand(KeyOperation op) {
    switch (op) {
    case KeyOperation::Play:
        transport_.Play();
        return;
    case KeyOperation::StopPlaying:
        transport_.Stop();
        return;
    case KeyOperation::Rewind:
        transport_.Rewind();
        return;
    case KeyOperation::RewindToBeginning:
        transport_.RewindToBeginning();
        return;
    case KeyOperation::FastForward:
        transport_.Forward();
        return;
    case KeyOperation::FastForwardToEnd:
        transport_.ForwardToEnd();
        return;
    case KeyOperation::Record:
        app_.Command(cmd::kRecordMidi);
        return;
    case KeyOperation::Undo:
        Undo();
        return;
    default:
        break;
    }
    if (SubWindow* view = ActiveView())
        view->KeyOperationCommand(op);
}

namespace {

SubWindow::EditDialog EditDialogFor(int id) {
    using D = SubWindow::EditDialog;
    switch (id) {
    case cmd::kSelectionVelocity:
        return D::Velocity;
    case cmd::kQuantize:
        return D::Quantize;
    case cmd::kTranspose:
        return D::Transpose;
    case cmd::kInsertSpace:
        return D::InsertSpace;
    case cmd::kDeleteTimeRange:
        return D::DeleteRange;
    default:
        return D::TimeRange;
    }
}

} // namespace

void TMDIDialog::Command(int id) {
    SubWindow* view = ActiveView();
    switch (id) {
    case cmd::kRewindToBeginning:
        transport_.RewindToBeginning();
        break;
    case cmd::kRewind:
        transport_.Rewind();
        break;
    case cmd::kStop:
        transport_.Stop();
        break;
    case cmd::kPlay:
        transport_.Play();
        break;
    case cmd::kForward:
        transport_.Forward();
        break;
    case cmd::kForwardToEnd:
        transport_.ForwardToEnd();
        break;
    case cmd::kNewView:
        NewView();
        break;
    case cmd::kDeleteView:
        DeleteView(activeView_);
        break;
    case cmd::kSelectAll:
        if (view)
            view->SelectAll();
        break;
    case cmd::kSelectTimeRange:
    case cmd::kSelectionVelocity:
    case cmd::kQuantize:
    case cmd::kTranspose:
    case cmd::kInsertSpace:
    case cmd::kDeleteTimeRange:
        if (view)
            // The advanced menus' version also changes instrument and channel.
            view->OpenEditDialog(id == cmd::kSelectionVelocity && advanced_
                                     ? SubWindow::EditDialog::Properties
                                     : EditDialogFor(id));
        break;
    case cmd::kDeleteCut:
        if (view)
            view->DeleteCurrent();
        break;
    case cmd::kNoteClear:
        if (view)
            view->ClearCurrent();
        break;
    case cmd::kNoteProperties:
        if (view)
            view->NoteProperties();
        break;
    case cmd::kViewOptions:
        if (view)
            view->Settings();
        break;
    case cmd::kSnapTo:
        SnapToDialog::Ask(this, snapTo_);
        break;
    case cmd::kSongProperties:
    case cmd::kTrackProperties:
    case cmd::kTempo:
    case cmd::kTimeKeySignature:
    case cmd::kDeleteTrack:
        SongCommand(id);
        break;
    case cmd::kSelectDeviceType:
        SelectDeviceType();
        break;
    case cmd::kRecordMidi:
        MidiRecordCommand::Run(app_, *this);
        break;
    case cmd::kRecordWave:
        RecordWaveCommand();
        break;
    case cmd::kVoiceToNotes:
        VoiceToNotes();
        break;
    default:
        break;
    }
}

void TMDIDialog::SongCommand(int id) {
    SongDialogs dialogs(this, *document_, [this] { SongChanged(); });
    const auto* view = dynamic_cast<const BasicView*>(ActiveView());
    const std::size_t track = view ? view->Placement().track : 0;
    switch (id) {
    case cmd::kSongProperties:
        dialogs.SongProperties();
        break;
    case cmd::kTrackProperties:
        dialogs.TrackProperties(track);
        break;
    case cmd::kTempo:
        dialogs.Tempo(transport_.PlayPosition());
        break;
    case cmd::kTimeKeySignature:
        dialogs.TimeKeySignature(transport_.PlayPosition());
        break;
    case cmd::kDeleteTrack:
        if (const long deleted = dialogs.DeleteTrack(track); deleted >= 0) {
            for (SubWindow* v : views_)
                v->TrackDeleted(static_cast<std::size_t>(deleted));
            SongChanged();
        }
        break;
    default:
        break;
    }
    app_.RefreshChecks();
}

// --- wave recording ------------------------------------------------------------------

void TMDIDialog::RecordWaveCommand() {
    if (!document_->HasFileName()) {
        ShowMessage(kAppTitle, RecordWave::kNeedsSavedSong, MessageIcon::Information);
        return;
    }
    const std::filesystem::path home = TakeFolder();
    if (home.empty())
        return;
    Song& song = document_->GetSong();
    RecordWave::Target target;
    target.song = &song;
    target.commands = &document_->Commands();
    target.songFile = document_->FilePath();
    target.placeAt = transport_.PlayPosition();
    if (const auto* view = dynamic_cast<const BasicView*>(ActiveView()))
        target.track = view->Placement().track;
    auto capture = std::make_unique<WaveCapture>(app_.NextCaptureSource());
    capture->SetDirectory(home);
    WaveToNotesParameters analysis;
    if (INIFile* ini = INIFile::Global())
        analysis.Read(*ini, song.TempoAt(target.placeAt));
    capture->SetAnalysis(analysis);
    RecordWave record(target, std::move(capture));

    // The song plays along while recording when "Play when Recording" is on.
    const auto started = [this] {
        if (OptionOn(kPlayDuringRecord))
            transport_.Play();
    };
    const auto stopped = [this] {
        if (app_.PlayingWindow() == this)
            transport_.Stop();
    };
    switch (RecordWaveDialog::Run(this, record, started, stopped)) {
    case RecordWaveDialog::Outcome::Placed:
        SongChanged();
        break;
    case RecordWaveDialog::Outcome::Convert:
        WaveToNotes(record.TakePath());
        break;
    case RecordWaveDialog::Outcome::Cancelled:
        break;
    }
}

void TMDIDialog::TrackCommandDone(const CPCommand* command, bool undone) {
    const auto* deletion = dynamic_cast<const MC_DeleteTrack*>(command);
    if (!deletion)
        return;
    for (SubWindow* v : views_) {
        if (undone)
            v->TrackRestored(deletion->TrackNumber());
        else
            v->TrackDeleted(deletion->TrackNumber());
    }
}

// The chosen device also becomes the one new songs take.
void TMDIDialog::SelectDeviceType() {
    Song& song = document_->GetSong();
    AString chosen;
    if (!DeviceSelDialog::Ask(this, song.DeviceFile(), chosen))
        return;
    if (INIFile* ini = INIFile::Global())
        ini->WriteString("DEFAULTDEVICE", chosen);
    document_->Commands().Submit(std::make_unique<MC_SongDeviceFile>(song, chosen));
    SongChanged();
}

void TMDIDialog::RefreshDevice() {
    Song& song = document_->GetSong();
    song.SetDeviceFile(song.DeviceFile());
}

void TMDIDialog::Undo() {
    if (!document_->Commands().CanUndo())
        return;
    const CPCommand* command = document_->Commands().NextUndo();
    document_->Commands().Undo();
    TrackCommandDone(command, true);
    SongChanged();
}

void TMDIDialog::Redo() {
    if (!document_->Commands().CanRedo())
        return;
    const CPCommand* command = document_->Commands().NextRedo();
    document_->Commands().Redo();
    TrackCommandDone(command, false);
    SongChanged();
}

// --- periodic work and closing --------------------------------------------------------

void TMDIDialog::Tick() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastTick_ >= kPeriodicMs) {
        lastTick_ = now;
        if (SubWindow* view = ActiveView())
            view->PeriodicUpdate();
    }
    if (document_->AutosaveDue() && now - lastAutosave_ >= kAutosaveMs) {
        lastAutosave_ = now;
        app_.AutosaveWindow(this);
    }
}

bool TMDIDialog::MayClose() {
    if (agreed_ || closing_)
        return true;
    if (app_.PlayingWindow() == this)
        app_.Guts().StopRequest();
    if (IsModified()) {
        const AString question =
            AString("Do you want to save changes to ") + document_->Caption() + " ?";
        switch (ShowMessage(kAppTitle, question, MessageIcon::Exclamation,
                            MessageButtons::YesNoCancel)) {
        case MessageAnswer::Yes:
            // A song without a name asks for one; cancelling that keeps the window.
            if (!app_.SaveWindow(
                    this, document_->HasFileName() ? document_->FilePath().string() : "", false))
                return false;
            break;
        case MessageAnswer::No:
            break;
        default:
            return false;
        }
    }
    agreed_ = true;
    return true;
}

void TMDIDialog::CancelClose() {
    agreed_ = false;
}

void TMDIDialog::closeEvent(QCloseEvent* event) {
    if (closing_ || !MayClose()) {
        event->ignore();
        return;
    }
    closing_ = true;
    timer_.stop();
    MarkSaved();
    event->accept();
    app_.WindowClosed(this);
}

// --- voice to notes ------------------------------------------------------------------

namespace {

constexpr const char* kRecordOptionText =
    "Click OK to record a new wave segment with your microphone.\nClick cancel to select a "
    "preexisting '.WAV' file.";
constexpr const char* kWaveFilter = "Wave Files (*.WAV)|*.wav|";
constexpr const char* kVoiceHelpPage = "voice.html";

} // namespace

void TMDIDialog::VoiceToNotes() {
    const MessageAnswer answer = ShowMessage("Record Option", kRecordOptionText,
                                             MessageIcon::Question, MessageButtons::OkCancel);
    if (answer == MessageAnswer::Ok) {
        const std::filesystem::path home = TakeFolder();
        if (home.empty())
            return;
        auto recorder = std::make_unique<WaveCapture>(app_.NextCaptureSource());
        recorder->SetDirectory(home);
        ConvertVoice(recorder->TakePath(), recorder.get());
        return;
    }
    FileRequest request;
    request.mode = FileRequest::Mode::Open;
    request.title = "Open";
    request.filter = kWaveFilter;
    request.defaultSuffix = "WAV";
    request.directory = document_->Folder();
    std::string file;
    if (ChooseFile(request, file))
        WaveToNotes(file);
}

// Takes are recorded into the home directory; one never placed is not lost unasked.
std::filesystem::path TMDIDialog::TakeFolder() {
    std::string homeError;
    const std::filesystem::path home = ResolveHomeDirectory(&homeError);
    if (home.empty()) {
        ShowMessage(kAppTitle, AString(RecordWave::kStartFailed) + "\n\n" + homeError,
                    MessageIcon::Exclamation);
        return {};
    }
    if (!RecordWave::MayRecordOverTake(home / WaveCapture::kTakeName))
        return {};
    return home;
}

void TMDIDialog::WaveToNotes(const std::filesystem::path& wave) {
    ConvertVoice(wave, nullptr);
}

void TMDIDialog::ConvertVoice(const std::filesystem::path& wave, WaveCapture* recorder) {
    // The notes go in at the play/record line, as a recording does.
    const std::int32_t at = transport_.PlayPosition();
    const std::int32_t tempo = document_->GetSong().TempoAt(at);
    WaveToNotesParameters parameters;
    if (INIFile* ini = INIFile::Global())
        parameters.Read(*ini, tempo);
    else
        parameters.SetTempo(tempo);
    parameters.fileName = wave.string();
    if (recorder)
        recorder->SetAnalysis(parameters);
    std::vector<DetectedNote> notes;
    if (WaveToMIDIDialog::Run(
            this, parameters, recorder, [this] { app_.ShowHelp(kVoiceHelpPage); }, notes))
        PlaceVoiceNotes(notes, parameters.eraseRest, at);
}

void TMDIDialog::PlaceVoiceNotes(const std::vector<DetectedNote>& notes, int restMethod,
                                 std::int32_t at) {
    NoteDestination destination;
    if (const auto* basic = dynamic_cast<const BasicView*>(ActiveView())) {
        const ViewPlacement& p = basic->Placement();
        destination = NoteDestination{p.track, p.channel, p.program, p.bank};
    }
    auto* noteView = dynamic_cast<NoteView*>(ActiveView());
    // Another kind of view has no cursor of its own: a plain one over the song will do.
    std::unique_ptr<SongIter> plain;
    if (!noteView)
        plain = std::make_unique<SongIter>(document_->GetSong());
    SongIter& iter = noteView ? noteView->Editor().Position() : *plain;
    std::unique_ptr<MC_PasteBlock> paste =
        MakeVoiceNotesPaste(iter, at, notes, restMethod, destination);
    if (!paste)
        return;
    document_->Commands().Submit(std::move(paste));
    if (noteView)
        noteView->Editor().SetPosition(at);
    SongChanged();
}
