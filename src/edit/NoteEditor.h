#pragma once

#include <cstdint>
#include <optional>

#include "devices/KeyOperation.h"
#include "edit/BlockOps.h"
#include "edit/MC_PasteBlock.h"
#include "edit/NoteEditorHost.h"
#include "edit/NoteLength.h"
#include "model/MusicalTime.h"
#include "model/SongIter.h"
#include "util/Refusal.h"

class CommandProcessor;
class ViewFilter;

// The editing half of a note view (staff or piano roll): the current position, the
// selection, where new notes go and how long they are, and every key command and
// Edit-menu operation, each turned into a command for the song window's processor.
// Refusals come back as the texts the view shows.
class NoteEditor {
public:
    struct Selection {
        std::int32_t start;
        std::int32_t end;
        bool operator==(const Selection&) const = default;
    };
    // Where new notes go: track, channel and instrument (program and bank).
    struct Placement {
        std::uint16_t track = 0;
        std::uint8_t channel = 0;
        std::uint8_t program = 0;
        std::int32_t bank = kNoBank;
    };
    struct QuantizeOptions {
        std::int32_t grid = 0; // 0: no aligning
        bool alignBeginnings = false;
        bool alignDurations = false;
        bool fitToTime = false;
        std::int32_t fitLength = 0;
        bool moveRest = true;
    };

    // Refusals and questions, word for word.
    static constexpr const char* kClearNothing =
        "Select a note or range of notes\nbefore using the clear command.";
    static constexpr const char* kPasteNothing =
        "A range of notes must be copied or cut\nbefore using the paste command.";
    static constexpr const char* kPasteClick =
        "Cannot execute paste:\n\nClick not within a measure.";
    static constexpr const char* kInsertClick =
        "Cannot execute insert:\n\nClick not within a measure.";
    static constexpr const char* kDeleteClick =
        "Cannot bring up delete dialog:\n\nClick not within a measure.";
    static constexpr const char* kPropertiesNothing =
        "Cannot do Selection Properties:\n\nSelect a range of notes first.";
    static constexpr const char* kTransposeNothing =
        "     Cannot do Transpose:\n\nSelect a range of notes first.";
    static constexpr const char* kQuantizeNothing =
        "      Cannot do Quantize:\n\nSelect a range of notes first.";
    static constexpr const char* kFitToZero =
        "Please set Fit-To length to a value greater than zero.";
    static constexpr const char* kPlayBarClick =
        "Cannot set playbar position:\n\nClick not within a measure.";
    static constexpr const char* kAddLyricClick =
        "Cannot execute Add Lyric:\n\nClick not within a measure.";
    static constexpr const char* kChangeLyricClick =
        "Cannot execute Change Lyric:\n\nClick not within a measure.";
    static constexpr const char* kDeleteLyricFar =
        "Cannot execute Delete Lyric:\n\nLyric not nearby.";
    static constexpr const char* kDeleteLyricClick =
        "Cannot execute Delete Lyric:\n\nClick not within a measure.";
    static constexpr const char* kAddAudioClick =
        "Cannot execute Add Audio:\n\nClick not within a measure.";
    static constexpr const char* kChangeAudioClick =
        "Cannot execute Change Audio:\n\nClick not within a measure.";
    static constexpr const char* kDeleteAudioFar =
        "Cannot execute Delete Audio:\n\nAudio cue not nearby.";
    static constexpr const char* kDeleteAudioClick =
        "Cannot execute Delete Audio:\n\nClick not within a measure.";
    static constexpr const char* kDeleteAudioFile = "Also delete '.WAV' file from the hard disk?";
    static constexpr const char* kDeleteAudioUndo = "Deleting the file cannot be undone.";
    static constexpr const char* kDeleteAudioKept =
        "The audio cue was removed; its file was kept.\n\n";
    static constexpr const char* kDeleteAudioFailed = "The audio cue was removed, but its file "
                                                      "could not be deleted:\n\n";
    static constexpr const char* kInsertWhere =
        "Insert space before selected note?\n (select no to insert space after)";
    static constexpr const char* kDeleteWhere =
        "Delete range at and including selected note?\n(select no to delete range just after "
        "selected note)";
    static constexpr const char* kAudioPrefix = "Audio:";
    static constexpr int kHesitationMs = 200;

    // `filter` is the view's own and must outlive the editor.
    NoteEditor(Song& song, const ViewFilter* filter, CommandProcessor& processor,
               NoteEditorHost& host);

    // --- state ---------------------------------------------------------------------
    Song& GetSong() const { return song_; }
    SongIter& Position() { return iter_; }
    bool HasPosition() const { return !iter_.AtEnd(); }
    std::int32_t CurrentTime() const { return iter_.Tick(); }
    MidiMsg* Current() const { return iter_.Msg(); }
    // The current event when it is a note.
    MidiMsgNote* CurrentNote() const;
    // Moves to the first event at or after a tick.
    void SetPosition(std::int32_t tick);
    // After an undo, a redo or a change of filter: back on a shown event.
    void Refresh();

    const std::optional<Selection>& GetSelection() const { return selection_; }
    void SetSelection(std::optional<Selection> selection) { selection_ = selection; }
    Placement& GetPlacement() { return placement_; }
    const NoteLengthState& Lengths() const { return lengths_; }
    std::int32_t NewNoteLength() const;

    // --- keys and the Note and Move menus ------------------------------------------
    // False for commands the view leaves to others ("Undo").
    bool KeyCommand(KeyOperation code);
    void DeleteCurrent(); // "Delete/Cut"
    void ClearCurrent();  // "Clear"
    void SetNoteProperties(std::int32_t duration, std::uint8_t velocity,
                           std::uint8_t releaseVelocity);
    // The note-length buttons: a press also gives the current note that length.
    void PressLengthButton(int button);
    void SetDot(bool on) { lengths_.dot = on; }
    void SetTriplet(bool on) { lengths_.triplet = on; }

    // --- the mouse ------------------------------------------------------------------
    // Makes the note at `tick` with index `msgIndex` in its time point current (a click
    // on its head); false when there is no shown event there.
    bool MakeCurrent(std::int32_t tick, std::int32_t msgIndex);
    // A new note at a clicked time and pitch: the view's placement, the length of a new
    // note, the current note's velocities (96 and 0 without one). `intoKey` first moves
    // a pitch outside the key in force a semitone up (down in flat keys).
    void PutNoteAt(std::int32_t tick, int pitch, bool intoKey);
    // The current note to another pitch (a drag), sounded after the pause.
    void ChangeCurrentPitch(int pitch) { ChangePitch(pitch, true); }
    // The current note alone moved by `amount` ticks (a drag sideways).
    void MoveCurrentBy(std::int32_t amount);
    // Shift-click: the selection grows from where it was, or from the current time, to
    // `tick`.
    void ExtendSelectionTo(std::int32_t tick);

    // --- the Edit menu: each says why when it refuses ---------------------------------
    void SelectAll();
    void SelectTimeRange(std::int32_t start, std::int32_t end);
    Refusal Copy();
    Refusal Cut();
    Refusal Clear();
    // Whether paste may start, before the dialog; the options it opens with.
    Refusal PasteRefusal(bool fromClick = false, std::optional<std::int32_t> clicked = {}) const;
    PasteOptions DefaultPasteOptions() const;
    Refusal Paste(const PasteOptions& options);
    // The time insert and delete act on from the menu: at the current note, or just
    // after it.
    std::int32_t SpaceTime(bool atNote) const;
    Refusal InsertSpace(std::optional<std::int32_t> at, std::int32_t length);
    Refusal DeleteSpace(std::optional<std::int32_t> at, std::int32_t length);
    Refusal SelectionProperties(const SelectionProps& props);
    Refusal Transpose(int semitones);
    Refusal Quantize(const QuantizeOptions& options);
    Refusal SetPlayBar(std::optional<std::int32_t> clicked);
    Refusal AddLyric(std::optional<std::int32_t> clicked, const AString& text);
    Refusal ChangeLyric(std::optional<std::int32_t> clicked, const AString& text);
    Refusal DeleteLyric(std::optional<std::int32_t> clicked);
    Refusal AddAudio(std::optional<std::int32_t> clicked, const AString& fileName);
    // The cue-point text that plays a wave file from where it stands, on `track`.
    static MidiMsgText AudioCue(const AString& fileName, std::uint16_t track);
    Refusal ChangeAudio(std::optional<std::int32_t> clicked, const AString& fileName);
    Refusal DeleteAudio(std::optional<std::int32_t> clicked);
    // A lyric (text type 5) or audio cue near a clicked time: the first at or after it,
    // less than a quarter note later.
    MidiMsgText* NearbyLyric(std::int32_t clicked);
    MidiMsgText* NearbyAudio(std::int32_t clicked);

    // --- arithmetic the view also shows --------------------------------------------
    // One pitch step up (+1) or down (-1): mode 0 follows "Move Pitch to Key", mode 1 is
    // a semitone, mode 2 the next pitch of the key in force at the current time.
    int StepPitch(int pitch, int step, int mode) const;
    // "Selection Duration: 1 bars, 0 beats, 0 ticks" for the Paste Options dialog.
    static AString SelectionDurationText(const BlockCopy& copy);
    // The grid of the Quantize dialog's "Align To:" entries ("No Align" = 0).
    static std::int32_t AlignGrid(int entry, std::int32_t ticksPerQuarter);
    // Bars, beats and ticks from a start time, through the time signatures in force.
    std::int32_t AmountToTicks(std::int32_t start, const MusicalTime& amount) const {
        return AmountToTicks(song_, start, amount);
    }
    static std::int32_t AmountToTicks(const Song& song, std::int32_t start,
                                      const MusicalTime& amount);

private:
    void Submit(std::unique_ptr<CPCommand> command);
    bool Move(int step);
    void FollowCurrentNote();
    void PutNote(const MidiMsgNote& note, std::int32_t time);
    void SelectEqual(std::int32_t time, const MidiMsg& msg);
    void ChangePitch(int pitch, bool sound);
    void ChangeNote(std::int32_t duration, int velocity, int releaseVelocity);

    void AddNoteAfterCurrent();
    void AddNoteAtEnd();
    void AddNoteAtCurrentTime();
    void InsertNoteBeforeCurrent();
    void Chord(KeyOperation code);
    void PlayCurrentSection();
    void ChangeVelocity(int step);
    void MoveInTime(int step);
    void StepAmongEvents(int step);
    void SelectNotes(int step);
    void MoveNote(int step);
    void LetterPitch(int letter);
    void PasteFromKey();
    struct FoundText {
        MidiMsgText* text = nullptr;
        std::int32_t tick = 0;
    };
    FoundText Nearby(std::int32_t clicked, int textType, bool audio);

    Song& song_;
    const ViewFilter* filter_;
    CommandProcessor& processor_;
    NoteEditorHost& host_;
    SongIter iter_;
    std::optional<Selection> selection_;
    Placement placement_;
    NoteLengthState lengths_;
};
