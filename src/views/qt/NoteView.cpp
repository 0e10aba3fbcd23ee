#include "views/qt/NoteView.h"

#include <QApplication>

#include "edit/MC_PasteBlock.h"
#include "util/Messages.h"

NoteView::NoteView(Song& song, CommandProcessor& commands, ViewCallbacks callbacks,
                   const ViewFilter& filter, const ViewPlacement& placement,
                   const SubWindowMaker& strip, int tooltipLevel, QWidget* parent)
    : BasicView(song, std::move(callbacks), filter, placement, strip, tooltipLevel, parent),
      editor_(song, &filter_, commands, *this) {
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
