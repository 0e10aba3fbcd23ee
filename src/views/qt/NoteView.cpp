#include "views/qt/NoteView.h"

#include <QApplication>
#include <QMenu>

#include "edit/MC_PasteBlock.h"
#include "util/Messages.h"
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
}

NoteView::~NoteView() = default;

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
    editor_.Refresh();
    RefreshStrip();
    const NoteLengthState& l = editor_.Lengths();
    ShowLengths(l.button, l.dot, l.triplet);
    update();
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

// Until the Paste Options dialog exists, a paste mixes the clipboard in once at the
// current note, on the view's placement.
bool NoteView::AskPasteOptions(PasteOptions& /*options*/) {
    return true;
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

namespace {

void NotYet(const char* what) {
    ShowMessage(kAppTitle, AString(what) + " is not available in this version of Vorlaune.",
                MessageIcon::Information);
}

} // namespace

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
            refuse(editor_.Paste(options));
        });
        item("Insert Space", true, [] { NotYet("The Insert Space dialog"); });
        item("Delete Range", true, [] { NotYet("The Delete Range dialog"); });
        menu.addSeparator();
        item("Set Play/Record Line", true, [at, refuse, this] { refuse(editor_.SetPlayBar(at)); });
        menu.addSeparator();
        item("Add Lyric", true, [] { NotYet("The Enter Lyric dialog"); });
        item("Change Lyric", popup.lyricNear, [] { NotYet("The Enter Lyric dialog"); });
        item("Delete Lyric", popup.lyricNear,
             [at, refuse, this] { refuse(editor_.DeleteLyric(at)); });
        menu.addSeparator();
        item("Add Audio", !popup.audioNear, [] { NotYet("The Enter Audio File Name dialog"); });
        item("Change Audio", popup.audioNear, [] { NotYet("The Enter Audio File Name dialog"); });
        item("Delete Audio", popup.audioNear,
             [at, refuse, this] { refuse(editor_.DeleteAudio(at)); });
    }
    menu.exec(where);
}
