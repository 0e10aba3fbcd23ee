#pragma once

#include <QTimer>
#include <memory>

#include "edit/CommandProcessor.h"
#include "edit/NoteEditor.h"
#include "edit/NoteEditorHost.h"
#include "views/NoteMouse.h"
#include "views/qt/BasicView.h"

class CommandProcessor;

// The base of the two note views (staff and piano roll): the current note, the
// selection and every key command, carried out by a NoteEditor on the song window's
// command processor.
class NoteView : public BasicView, protected NoteEditorHost {
    Q_OBJECT
public:
    NoteView(Song& song, CommandProcessor& commands, ViewCallbacks callbacks,
             const ViewFilter& filter, const ViewPlacement& placement, const SubWindowMaker& strip,
             int tooltipLevel, QWidget* parent = nullptr);
    ~NoteView() override;

    NoteEditor& Editor() { return editor_; }
    const NoteEditor& Editor() const { return editor_; }

    bool KeyOperationCommand(KeyOperation op) override;
    void DeleteCurrent() override;
    void ClearCurrent() override;
    void SelectAll() override;
    void NoteProperties() override;
    void Refresh() override;
    void TrackDeleted(std::size_t track) override;

protected:
    // Keep the current note in sight after it moved; the kinds know where it is.
    virtual void ShowCurrentNote() {}
    // The strip and the picture follow whatever an edit did.
    void AfterEdit();
    // A change of the song made by the view itself (its settings), through the window's
    // command processor; every view is told.
    void SubmitCommand(std::unique_ptr<CPCommand> command);
    // The Note pop-up menu (on a note) or the time pop-up menu (elsewhere), at `where` on
    // the screen.
    void OpenPopup(const NoteMouse::Popup& popup, QPoint where);

    void LengthPressed(int button) override;
    void DotToggled(bool on) override;
    void TripletToggled(bool on) override;

    // NoteEditorHost
    bool MovePitchToKey() const override;
    bool HesitatePlay() const override;
    double SnapTo() const override;
    void Transport(KeyOperation command) override;
    void PlayRange(std::int32_t from, std::int32_t to) override;
    void SetPlayBar(std::int32_t tick) override;
    void SoundAfterHesitation(const MidiMsgNote& note, std::int32_t tick) override;
    void Beep() override;
    void ShowRefusal(const Refusal& refusal) override;
    bool AskPasteOptions(PasteOptions& options) override;
    bool AskYesNo(const AString& text) override;

private:
    void SyncPlacement();

    NoteEditor editor_;
    CommandProcessor& commands_;
    QTimer hesitation_;
    std::unique_ptr<MidiMsgNote> pendingNote_;
};
