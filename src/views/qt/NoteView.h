#pragma once

#include <QTimer>
#include <memory>

#include "edit/CommandProcessor.h"
#include "edit/NoteEditor.h"
#include "edit/NoteEditorHost.h"
#include "views/ControllerView.h"
#include "views/NoteMouse.h"
#include "views/qt/BasicView.h"

class CommandProcessor;
class QScrollBar;
class ControllerBand;

// The base of the two note views (staff and piano roll): the current note, the
// selection and every key command, carried out by a NoteEditor on the song window's
// command processor; and the controller graph under the view when the window shows it.
class NoteView : public BasicView,
                 protected NoteEditorHost,
                 protected NoteMouseView,
                 private ControllerViewHost {
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
    void OpenEditDialog(EditDialog which) override;
    void NoteProperties() override;
    void Refresh() override;
    void TrackDeleted(std::size_t track) override;

    // The controller graph, while the window shows it (else null).
    ControllerBand* Graph() const;
    // Shows another controller in the graph, as "Controller Selection" would choose it:
    // false (and the refusal shown) for bank select.
    bool SetGraphController(std::uint8_t controller);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The mouse in the kind's own drawing goes to the shared note mouse; a press in a
    // view that is not the active one only activates it.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // Where the kind's drawing ends on the right (its scroll bar lies beyond).
    virtual int DrawingRight() const = 0;
    // Brings the kind's geometry up to date before the mouse logic reads it.
    virtual void PrepareMouse() {}
    // The mark of where a click would put a note follows the mouse, and goes.
    virtual void UpdatePreview(int x, int y) = 0;
    virtual void ClearPreview() = 0;
    const NoteMouse& Mouse() const { return mouse_; }
    // NoteMouseView: scrolling is the song window's.
    void ScrollBy(std::int32_t ticks) override;
    // Where the view's own drawing ends: above the graph when it shows.
    int ContentBottom() const;
    // The view's time axis in view coordinates, which the graph shares.
    virtual std::optional<std::int32_t> TickToViewX(std::int32_t /*tick*/) const {
        return std::nullopt;
    }
    virtual std::optional<std::int32_t> ViewXToTick(std::int32_t /*x*/) const {
        return std::nullopt;
    }

    // Keep the current note in sight after it moved; the kinds know where it is.
    virtual void ShowCurrentNote() {}
    // The strip and the picture follow whatever an edit did.
    void AfterEdit();
    // A change of the song made by the view itself (its settings), through the window's
    // command processor; every view is told.
    void SubmitCommand(std::unique_ptr<CPCommand> command);
    // A settings dialog's OK: the options go to the first track, or to every track when
    // the dialog's "all tracks" box was checked; one change that can be undone. False,
    // with the message shown, while the song has no track to keep them.
    // The view settings stored with the song (in its first track); the defaults while it
    // has none.
    const ViewOptions& Options() const;
    // The vertical scroll bar at the view's right: no focus, a move repaints.
    QScrollBar* MakeVerticalBar();
    bool MayChangeOptions() const;
    void StoreOptions(ViewOptions options);
    // Names the song's present state: it changes with every edit, undo and redo.
    std::int32_t ChangeLevel() const { return commands_.ChangeLevel(); }
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
    AudioFileCheck CheckAudioFile(const AString& fileName, const MidiMsg& cue) override;
    bool DeleteAudioFile(const AString& path, AString& error) override;

private:
    void SyncPlacement();
    // Insert Space or Delete Range at a time (from a click) or at the current note.
    void AskSpace(bool insert, std::optional<std::int32_t> clicked);
    void AskText(bool audio, std::optional<std::int32_t> clicked, bool change);
    AString SongFolder() const;

    // Shows or hides the graph as the window's option says.
    void SyncGraph();

    // ControllerViewHost (the two shown-range functions serve NoteMouseView too)
    std::optional<std::int32_t> TimeToX(std::int32_t tick) const override {
        return TickToViewX(tick);
    }
    std::optional<std::int32_t> XToTime(std::int32_t x) const override { return ViewXToTick(x); }
    std::int32_t ShownStart() const override { return FirstVisibleTick(); }
    std::int32_t ShownEnd() const override { return LastVisibleTick(); }
    std::uint16_t PlacementTrack() const override { return placement_.track; }
    std::uint8_t PlacementChannel() const override { return placement_.channel; }
    void Submit(std::unique_ptr<CPCommand> command) override;
    bool AskRange(ControllerRangeChoice& choice) override;
    bool AskController(std::uint8_t& controller) override;

    ViewOptions defaults_;
    NoteEditor editor_;
    CommandProcessor& commands_;
    QTimer hesitation_;
    std::unique_ptr<MidiMsgNote> pendingNote_;
    ControllerBand* graph_ = nullptr;
    NoteMouse mouse_{editor_, *this};
};
