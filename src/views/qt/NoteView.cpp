#include "views/qt/NoteView.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <filesystem>

#include "devices/MidiDevice.h"
#include "edit/MC_PasteBlock.h"
#include "edit/MC_TrackOptions.h"
#include "util/Messages.h"
#include "views/ControllerSelChoice.h"
#include "views/qt/BlockDialogs.h"
#include "views/qt/ControllerBand.h"
#include "views/qt/ControllerRangeDialog.h"
#include "views/qt/ControllerSelDialog.h"
#include "views/qt/NotePropertiesDialog.h"

NoteView::NoteView(Song& song, CommandProcessor& commands, ViewCallbacks callbacks,
                   const ViewFilter& filter, const ViewPlacement& placement,
                   const SubWindowMaker& strip, int tooltipLevel, QWidget* parent)
    : BasicView(song, std::move(callbacks), filter, placement, &strip, tooltipLevel, parent),
      editor_(song, &filter_, commands, *this), commands_(commands) {
    filter_.SetKind(kMsgNote); // note views show notes
    SyncPlacement();
    editor_.SetPosition(0);
    const NoteLengthState& l = editor_.Lengths();
    ShowLengths(l.button, l.dot, l.triplet);

    hesitation_.setSingleShot(true);
    hesitation_.setInterval(NoteEditor::kHesitationMs);
    connect(&hesitation_, &QTimer::timeout, this, [this] {
        if (pendingNote_ && callbacks_.soundNote)
            callbacks_.soundNote(*pendingNote_);
        pendingNote_.reset();
    });
    SyncGraph();
}

// The graph reads the view's filter: it goes first.
NoteView::~NoteView() {
    delete graph_;
}

void NoteView::SyncPlacement() {
    editor_.GetPlacement() = placement_;
}

bool NoteView::KeyOperationCommand(KeyOperation op) {
    SyncPlacement();
    const bool handled = editor_.KeyCommand(op);
    if (handled)
        AfterEdit();
    return handled;
}

void NoteView::DeleteCurrent() {
    editor_.DeleteCurrent();
    AfterEdit();
}

void NoteView::ClearCurrent() {
    editor_.ClearCurrent();
    AfterEdit();
}

void NoteView::SelectAll() {
    editor_.SelectAll();
    AfterEdit();
}

void NoteView::SubmitCommand(std::unique_ptr<CPCommand> command) {
    commands_.Submit(std::move(command));
    if (callbacks_.changed)
        callbacks_.changed(true);
}

bool NoteView::MayChangeOptions() const {
    if (song_.TrackCount() > 0)
        return true;
    ShowMessage(kAppTitle, "A note needs to be put down before options can be changed.",
                MessageIcon::Information);
    return false;
}

void NoteView::StoreOptions(ViewOptions options) {
    const bool all = options.applyToAllTracks != 0;
    options.applyToAllTracks = 0;
    SubmitCommand(std::make_unique<MC_TrackOptions>(song_, all ? -1 : 0, options));
}

// Whatever a command did, the strip and the picture follow the current note.
void NoteView::AfterEdit() {
    const NoteLengthState& l = editor_.Lengths();
    ShowLengths(l.button, l.dot, l.triplet);
    ShowCurrentNote();
    update();
    if (callbacks_.changed)
        callbacks_.changed(false);
}

void NoteView::Refresh() {
    SyncGraph();
    editor_.Refresh();
    RefreshStrip();
    const NoteLengthState& l = editor_.Lengths();
    ShowLengths(l.button, l.dot, l.triplet);
    update();
}

ControllerBand* NoteView::Graph() const {
    return graph_ && !graph_->isHidden() ? graph_ : nullptr;
}

void NoteView::SyncGraph() {
    const bool wanted = callbacks_.showControllerGraph && callbacks_.showControllerGraph();
    if (wanted == (Graph() != nullptr))
        return;
    if (!graph_)
        graph_ = new ControllerBand(this, song_, filter_, *this, [this] {
            if (IsActive())
                return true;
            if (callbacks_.activate)
                callbacks_.activate(*this);
            return false;
        });
    graph_->setVisible(wanted);
    // The view's own parts make room for it, or take the room back.
    QResizeEvent resized(size(), size());
    QApplication::sendEvent(this, &resized);
    update();
}

int NoteView::ContentBottom() const {
    return std::max(height() - (Graph() ? ControllerView::kStripHeight : 0), ContentTop());
}

void NoteView::resizeEvent(QResizeEvent* event) {
    if (graph_)
        graph_->setGeometry(0, height() - ControllerView::kStripHeight, width(),
                            ControllerView::kStripHeight);
    BasicView::resizeEvent(event);
}

bool NoteView::SetGraphController(std::uint8_t controller) {
    if (!Graph())
        return false;
    if (const Refusal refusal =
            ControllerSelChoice::Check(ControllerSelChoice::IndexOf(controller))) {
        ShowMessage(refusal.AsMessage());
        return false;
    }
    graph_->Graph().SetController(controller);
    graph_->update();
    return true;
}

void NoteView::Submit(std::unique_ptr<CPCommand> command) {
    SubmitCommand(std::move(command));
}

bool NoteView::AskRange(ControllerRangeChoice& choice) {
    return ControllerRangeDialog::Ask(this, choice);
}

bool NoteView::AskController(std::uint8_t& controller) {
    return ControllerSelDialog::Ask(this, dynamic_cast<const MidiDevice*>(&song_.Device()),
                                    controller);
}

void NoteView::TrackDeleted(std::size_t track) {
    BasicView::TrackDeleted(track);
    editor_.Refresh();
}

void NoteView::LengthPressed(int button) {
    editor_.PressLengthButton(button);
    AfterEdit();
}

void NoteView::DotToggled(bool on) {
    editor_.SetDot(on);
}

void NoteView::TripletToggled(bool on) {
    editor_.SetTriplet(on);
}

const ViewOptions& NoteView::Options() const {
    const Track* first = song_.GetTrack(0);
    return first ? first->options : defaults_;
}

QScrollBar* NoteView::MakeVerticalBar() {
    auto* bar = new QScrollBar(Qt::Vertical, this);
    bar->setFocusPolicy(Qt::NoFocus);
    connect(bar, &QScrollBar::valueChanged, this, [this] { update(); });
    return bar;
}

bool NoteView::MovePitchToKey() const {
    return callbacks_.movePitchToKey && callbacks_.movePitchToKey();
}

bool NoteView::HesitatePlay() const {
    return callbacks_.hesitatePlay && callbacks_.hesitatePlay();
}

double NoteView::SnapTo() const {
    return callbacks_.snapTo ? callbacks_.snapTo() : 0.0;
}

void NoteView::Transport(KeyOperation command) {
    if (callbacks_.transport)
        callbacks_.transport(command);
}

void NoteView::PlayRange(std::int32_t from, std::int32_t to) {
    if (callbacks_.playRange)
        callbacks_.playRange(from, to);
}

void NoteView::SetPlayBar(std::int32_t tick) {
    if (callbacks_.setPlayBar)
        callbacks_.setPlayBar(tick);
}

void NoteView::SoundAfterHesitation(const MidiMsgNote& note, std::int32_t /*tick*/) {
    pendingNote_ = std::make_unique<MidiMsgNote>(note);
    hesitation_.start(); // a new change within the pause restarts it
}

void NoteView::Beep() {
    QApplication::beep();
}

void NoteView::ShowRefusal(const Refusal& refusal) {
    ShowMessage(refusal.AsMessage());
}

bool NoteView::AskPasteOptions(PasteOptions& options) {
    return BlockDialogs::AskPasteOptions(this, editor_, options);
}

bool NoteView::AskYesNo(const AString& text) {
    return ShowMessage(kAppTitle, text, MessageIcon::Question, MessageButtons::YesNo) ==
           MessageAnswer::Yes;
}

void NoteView::NoteProperties() {
    const MidiMsgNote* note = editor_.CurrentNote();
    if (!note)
        return;
    NotePropertiesDialog::Values values{note->duration, note->velocity, note->releaseVelocity};
    const QString time = QString::fromStdString(
        FormatMusicalTime(song_.TickToMusicalTime(editor_.CurrentTime())).str());
    if (!NotePropertiesDialog::Ask(this, time, values))
        return;
    editor_.SetNoteProperties(values.duration, static_cast<std::uint8_t>(values.velocity),
                              static_cast<std::uint8_t>(values.releaseVelocity));
    AfterEdit();
}

NoteView::AudioFileCheck NoteView::CheckAudioFile(const AString& fileName, const MidiMsg& cue) {
    if (!callbacks_.checkAudioFile)
        return NoteEditorHost::CheckAudioFile(fileName, cue);
    return callbacks_.checkAudioFile(fileName, cue);
}

bool NoteView::DeleteAudioFile(const AString& path, AString& error) {
    std::error_code ec;
    if (!std::filesystem::remove(std::filesystem::path(path.str()), ec) || ec) {
        error = ec ? AString(ec.message()) : AString("The file is no longer there.");
        return false;
    }
    return true;
}

AString NoteView::SongFolder() const {
    if (song_.fileName.IsEmpty())
        return {};
    return AString(std::filesystem::path(song_.fileName.str()).parent_path().string());
}

void NoteView::AskSpace(bool insert, std::optional<std::int32_t> clicked) {
    std::optional<std::int32_t> at = clicked;
    if (!clicked && editor_.CurrentNote()) {
        // From the menu on a note: before (at) it or just after it.
        at = editor_.SpaceTime(
            AskYesNo(insert ? NoteEditor::kInsertWhere : NoteEditor::kDeleteWhere));
    } else if (!clicked) {
        at = editor_.CurrentTime();
    }
    if (!at) {
        ShowRefusal(insert ? NoteEditor::kInsertClick : NoteEditor::kDeleteClick);
        return;
    }
    const auto space = BlockDialogs::AskSpace(this, editor_, insert, *at);
    if (!space)
        return;
    const Refusal refusal = insert ? editor_.InsertSpace(space->at, space->length)
                                   : editor_.DeleteSpace(space->at, space->length);
    if (refusal)
        ShowRefusal(refusal);
    AfterEdit();
}

void NoteView::AskText(bool audio, std::optional<std::int32_t> clicked, bool change) {
    if (!clicked) {
        ShowRefusal(audio ? (change ? NoteEditor::kChangeAudioClick : NoteEditor::kAddAudioClick)
                          : (change ? NoteEditor::kChangeLyricClick : NoteEditor::kAddLyricClick));
        return;
    }
    AString now;
    if (change) {
        const MidiMsgText* near =
            audio ? editor_.NearbyAudio(*clicked) : editor_.NearbyLyric(*clicked);
        if (near)
            now = audio ? near->text.Mid(AString(NoteEditor::kAudioPrefix).Length()) : near->text;
    }
    const std::optional<AString> text =
        audio ? BlockDialogs::AskAudioFileName(this, now, SongFolder())
              : BlockDialogs::AskLyric(this, now);
    if (!text)
        return;
    Refusal refusal;
    if (audio)
        refusal = change ? editor_.ChangeAudio(clicked, *text) : editor_.AddAudio(clicked, *text);
    else
        refusal = change ? editor_.ChangeLyric(clicked, *text) : editor_.AddLyric(clicked, *text);
    if (refusal)
        ShowRefusal(refusal);
    AfterEdit();
}

void NoteView::OpenEditDialog(EditDialog which) {
    const auto& selection = editor_.GetSelection();
    Refusal refusal;
    switch (which) {
    case EditDialog::TimeRange:
        if (const auto range = BlockDialogs::AskTimeRange(this, editor_))
            editor_.SelectTimeRange(range->start, range->end);
        break;
    case EditDialog::Velocity:
    case EditDialog::Properties:
        if (!selection) {
            refusal = NoteEditor::kPropertiesNothing;
        } else if (const auto props = BlockDialogs::AskSelectionProperties(
                       this, which == EditDialog::Properties)) {
            refusal = editor_.SelectionProperties(*props);
        }
        break;
    case EditDialog::Quantize:
        if (!selection) {
            refusal = NoteEditor::kQuantizeNothing;
        } else if (const auto options =
                       BlockDialogs::AskQuantize(this, editor_, selection->start)) {
            refusal = editor_.Quantize(*options);
        }
        break;
    case EditDialog::Transpose:
        if (!selection) {
            refusal = NoteEditor::kTransposeNothing;
        } else if (const auto semitones = BlockDialogs::AskTranspose(this)) {
            refusal = editor_.Transpose(*semitones);
        }
        break;
    case EditDialog::InsertSpace:
    case EditDialog::DeleteRange:
        AskSpace(which == EditDialog::InsertSpace, std::nullopt);
        return;
    }
    if (refusal)
        ShowRefusal(refusal);
    AfterEdit();
}

void NoteView::mousePressEvent(QMouseEvent* event) {
    if (!IsActive()) {
        BasicView::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if (at.y() < ContentTop() || at.y() >= ContentBottom() || at.x() >= DrawingRight())
        return;
    PrepareMouse();
    ClearPreview();
    // The right button opens the pop-up menu there; the left one puts, picks, drags or
    // selects.
    if (event->button() == Qt::RightButton) {
        const NoteMouse::Popup popup = mouse_.RightPress(at.x(), at.y());
        AfterEdit();
        OpenPopup(popup, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    NoteMouse::Modifiers modifiers;
    modifiers.shift = event->modifiers() & Qt::ShiftModifier;
    modifiers.ctrl = event->modifiers() & Qt::ControlModifier;
    mouse_.Press(at.x(), at.y(), modifiers);
    AfterEdit();
}

void NoteView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!mouse_.Held()) {
        UpdatePreview(at.x(), at.y());
        return;
    }
    PrepareMouse();
    mouse_.Move(at.x(), at.y());
    update();
}

void NoteView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !mouse_.Held())
        return;
    PrepareMouse();
    const QPoint at = event->position().toPoint();
    mouse_.Release(at.x(), at.y());
    AfterEdit();
}

void NoteView::leaveEvent(QEvent* event) {
    ClearPreview();
    update();
    BasicView::leaveEvent(event);
}

void NoteView::ScrollBy(std::int32_t ticks) {
    if (callbacks_.scrollBy)
        callbacks_.scrollBy(ticks);
}

void NoteView::OpenPopup(const NoteMouse::Popup& popup, QPoint where) {
    if (popup.kind == NoteMouse::Popup::Kind::None)
        return;
    QMenu menu(this);
    menu.setObjectName(popup.kind == NoteMouse::Popup::Kind::Note ? "notePopup" : "timePopup");
    auto item = [&](const char* text, bool enabled, auto action) {
        QAction* a = menu.addAction(text);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, action);
    };
    // What a refused item says, as the menu commands would.
    auto refuse = [this](const Refusal& refusal) {
        if (refusal)
            ShowMessage(refusal.AsMessage());
        AfterEdit();
    };
    if (popup.kind == NoteMouse::Popup::Kind::Note) {
        item("Delete", true, [this] { DeleteCurrent(); });
        item("Clear", true, [this] { ClearCurrent(); });
        item("Properties", true, [this] { NoteProperties(); });
    } else {
        const std::optional<std::int32_t> at = popup.time;
        item("Paste", true, [this, at, refuse] {
            if (Refusal refusal = editor_.PasteRefusal(true, at)) {
                refuse(refusal);
                return;
            }
            PasteOptions options = editor_.DefaultPasteOptions();
            options.at = *at;
            if (AskPasteOptions(options))
                refuse(editor_.Paste(options));
        });
        item("Insert Space", true, [this, at] { AskSpace(true, at); });
        item("Delete Range", true, [this, at] { AskSpace(false, at); });
        menu.addSeparator();
        item("Set Play/Record Line", true, [at, refuse, this] { refuse(editor_.SetPlayBar(at)); });
        menu.addSeparator();
        item("Add Lyric", true, [this, at] { AskText(false, at, false); });
        item("Change Lyric", popup.lyricNear, [this, at] { AskText(false, at, true); });
        item("Delete Lyric", popup.lyricNear,
             [at, refuse, this] { refuse(editor_.DeleteLyric(at)); });
        menu.addSeparator();
        item("Add Audio", !popup.audioNear, [this, at] { AskText(true, at, false); });
        item("Change Audio", popup.audioNear, [this, at] { AskText(true, at, true); });
        item("Delete Audio", popup.audioNear,
             [at, refuse, this] { refuse(editor_.DeleteAudio(at)); });
    }
    menu.exec(where);
}
