#include "app/CommandTable.h"

#include <algorithm>

#include "app/AppCommands.h"

namespace {

using Route = MenuCommand::Route;
using Enable = MenuCommand::Enable;
using Op = KeyOperation;

MenuCommand Item(int id, const char* menu, const char* text, Route route = Route::Window,
                 Enable enable = Enable::WithSong) {
    MenuCommand c;
    c.id = id;
    c.menu = menu;
    c.text = text;
    c.route = route;
    c.enable = enable;
    return c;
}

MenuCommand Forward(int id, const char* menu, const char* text, Op op, const char* keyHint = "") {
    MenuCommand c = Item(id, menu, text, Route::Forward);
    c.operation = op;
    c.keyHint = keyHint;
    return c;
}

MenuCommand Shortcut(MenuCommand c, const char* shortcut) {
    c.shortcut = shortcut;
    return c;
}

MenuCommand Separated(MenuCommand c) {
    c.separatorBefore = true;
    return c;
}

MenuCommand Checkable(MenuCommand c) {
    c.checkable = true;
    return c;
}

MenuCommand Everywhere(MenuCommand c) {
    c.inNoSongMenu = true;
    c.enable = Enable::Always;
    return c;
}

std::vector<MenuCommand> Build() {
    using namespace cmd;
    const Route frame = Route::Frame;
    const Enable always = Enable::Always;
    return {
        // File
        Everywhere(Shortcut(Item(kNewSong, "&File", "&New Song", frame), "Ctrl+N")),
        Everywhere(Shortcut(Item(kOpenSong, "&File", "&Open Song...", frame), "Ctrl+O")),
        Shortcut(Item(kCloseSong, "&File", "&Close Song", frame), "Ctrl+W"),
        Shortcut(Item(kSaveSong, "&File", "&Save Song", frame), "Ctrl+S"),
        Shortcut(Item(kSaveAs, "&File", "Save &As...", frame), "Ctrl+Shift+S"),
        Item(kRenameSong, "&File", "&Rename Song...", frame, Enable::WithFileName),
        Separated(Shortcut(Item(kPrint, "&File", "&Print", frame), "Ctrl+P")),
        Item(kPrintPreview, "&File", "Print Pre&view", frame),
        Item(kPrintSetup, "&File", "Print Set&up...", frame, always),
        Everywhere(Separated(Shortcut(Item(kExit, "&File", "E&xit", frame), "Ctrl+Q"))),
        // Edit
        Shortcut(Item(kUndo, "&Edit", "Undo", frame, Enable::CanUndo), "Ctrl+Z"),
        Shortcut(Item(kRedo, "&Edit", "Redo", frame, Enable::CanRedo), "Ctrl+Y"),
        Separated(Shortcut(Forward(kCut, "&Edit", "Cu&t", Op::CutSelection), "Ctrl+X")),
        Shortcut(Forward(kCopy, "&Edit", "&Copy", Op::CopySelection), "Ctrl+C"),
        Shortcut(Forward(kPaste, "&Edit", "&Paste", Op::PasteSelection), "Ctrl+V"),
        Forward(kClear, "&Edit", "C&lear", Op::ClearSelection, "Ctrl+Del"),
        Separated(Shortcut(Item(kSelectAll, "&Edit", "Select &All"), "Ctrl+A")),
        Item(kSelectTimeRange, "&Edit", "Select Time &Range..."),
        Item(kSelectionVelocity, "&Edit", "Selection &Velocity..."),
        Separated(Item(kDeleteTrack, "&Edit", "&Delete Track...")),
        Item(kQuantize, "&Edit", "&Quantize..."),
        Item(kTranspose, "&Edit", "Tra&nspose..."),
        Item(kInsertSpace, "&Edit", "&Insert Space..."),
        Item(kDeleteTimeRange, "&Edit", "Delete Time Ran&ge..."),
        // Device
        Item(kSelectDeviceType, "&Device", "&Select Device Type..."),
        Everywhere(Item(kDefineDeviceType, "&Device", "&Define Device Type...", frame)),
        Everywhere(Item(kDefineController, "&Device", "Define &Controller...", frame)),
        Separated(Checkable(Item(kMidiMapper, "&Device", "Midi Mapper", frame, always))),
        // Song
        Item(kSongProperties, "&Song", "&Song Properties..."),
        Item(kTrackProperties, "&Song", "&Track Properties..."),
        Item(kTempo, "&Song", "T&empo..."),
        Item(kTimeKeySignature, "&Song", "Time && &Key Signature..."),
        // Move
        Forward(kMoveForward, "&Move", "Move &Forward in time", Op::ForwardInTime, "Right"),
        Forward(kMoveBackward, "&Move", "Move &Backward in time", Op::BackwardInTime, "Left"),
        Forward(kMoveNoteForward, "&Move", "Move &Note Forward in time", Op::MoveNoteForward,
                "Ctrl+Right"),
        Forward(kMoveNoteBackward, "&Move", "Move Note Bac&kward in time", Op::MoveNoteBackward,
                "Ctrl+Left"),
        Separated(Forward(kSelectNextNote, "&Move", "Select Ne&xt Current Note",
                          Op::MoveToNextNoteAtCurrentTime, "Tab")),
        Forward(kSelectPreviousNote, "&Move", "Select &Previous Current Note",
                Op::MoveToPreviousNoteAtCurrentTime, "Shift+Tab"),
        // Note
        Forward(kAddNoteAfterCurrent, "&Note", "Add Note &After Current", Op::AddNoteAfterCurrent,
                "A"),
        Forward(kAddNoteAtEnd, "&Note", "Add Note At &End", Op::AddNoteAtEnd, "E"),
        Forward(kAddNoteAtCurrent, "&Note", "Add Note At Current", Op::AddNoteAtCurrentTime, "M"),
        Forward(kInsertNoteBefore, "&Note", "&Insert Note Before Current",
                Op::InsertNoteBeforeCurrentTime, "I"),
        Separated(Shortcut(Item(kDeleteCut, "&Note", "&Delete/Cut"), "Shift+Del")),
        Shortcut(Item(kNoteClear, "&Note", "&Clear"), "Del"),
        Separated(Forward(kPitchUp, "&Note", "Pitch &Up 1/2 step", Op::UpInPitch, "Up")),
        Forward(kPitchDown, "&Note", "Pitch D&own 1/2 step", Op::DownInPitch, "Down"),
        Forward(kOctaveUp, "&Note", "Pitch Up Octa&ve", Op::CurrentNoteUpOctave, "Ctrl+Up"),
        Forward(kOctaveDown, "&Note", "Pitch Down Oc&tave", Op::CurrentNoteDownOctave, "Ctrl+Down"),
        Separated(Forward(kIncreaseDuration, "&Note", "Increase Du&ration",
                          Op::IncreaseNoteDuration, "]")),
        Forward(kDecreaseDuration, "&Note", "Decrease Durat&ion", Op::DecreaseNoteDuration, "["),
        Forward(kDot, "&Note", "Dot Note(*1 && 1/2 duration)", Op::DotSelectedNote, "."),
        Forward(kTriplet, "&Note", "Triplet(*1 && 1/3 duration)", Op::TripletSelectedNote, "T"),
        Separated(
            Forward(kIncreaseVolume, "&Note", "Increase Vo&lume", Op::IncreaseNoteVelocity, "=")),
        Forward(kDecreaseVolume, "&Note", "Decrease Volu&me", Op::DecreaseNoteVelocity, "-"),
        Separated(Item(kNoteProperties, "&Note", "&Properties")),
        // Options
        Item(kAdvancedMode, "&Options", "go into &Advanced Mode", frame),
        Item(kBasicMode, "&Options", "go into &Basic Mode", frame),
        Separated(Checkable(Item(kPlayOnHesitation, "&Options", "Play on &Hesitation", frame))),
        Checkable(Item(kPlayOnlyCurrentView, "&Options", "Play only selected &View", frame)),
        Checkable(Item(kAutoRewind, "&Options", "Auto &Rewind", frame)),
        Checkable(Item(kMovePitchToKey, "&Options", "Move &Pitch to Key", frame)),
        Checkable(Item(kShowNotePlacement, "&Options", "Show &Note Placement", frame)),
        Checkable(Item(kShowLyrics, "&Options", "Show &Lyrics", frame)),
        Checkable(Item(kPlayOnRecord, "&Options", "Play on Re&cord", frame)),
        Separated(Item(kSnapTo, "&Options", "&Snap-To Resolution...")),
        Item(kKeyAssignments, "&Options", "&Key Assignments...", frame),
        Item(kVoiceSettings, "&Options", "Voice-to-Notes Se&ttings...", frame, always),
        // View
        Item(kViewOptions, "&View", "View &Options..."),
        Item(kNewView, "&View", "&New view"),
        Item(kDeleteView, "&View", "&Delete View", Route::Window, Enable::CanDeleteView),
        Separated(Checkable(Item(kShowControllerGraph, "&View", "Show &Controller Graph", frame))),
        // Play/Record
        Item(kPlay, "&Play/Record", "&Play"),
        Item(kStop, "&Play/Record", "&Stop"),
        Item(kRewind, "&Play/Record", "&Rewind"),
        Item(kRewindToBeginning, "&Play/Record", "Rewind to &beginning"),
        Item(kForward, "&Play/Record", "&Forward"),
        Item(kForwardToEnd, "&Play/Record", "Forward To &End"),
        Separated(Item(kRecordMidi, "&Play/Record", "Record &MIDI Notes")),
        Item(kRecordWave, "&Play/Record", "Record &Voice/Wave"),
        Item(kVoiceToNotes, "&Play/Record", "Voice &to MIDI Notes..."),
        // Window
        Item(kCascade, "&Window", "&Cascade", frame),
        Item(kTile, "&Window", "&Tile", frame),
        // Help
        Everywhere(Shortcut(Item(kHelpContents, "&Help", "&Contents", frame), "F1")),
        Everywhere(Item(kHelpMouse, "&Help", "&Mouse Commands", frame)),
        Everywhere(Item(kHelpToolbar, "&Help", "&Toolbar", frame)),
        Everywhere(Item(kHelpTroubleshooting, "&Help", "T&roubleshooting", frame)),
        Everywhere(Item(kHelpQuickKeys, "&Help", "&Quick Keys", frame)),
    };
}

} // namespace

const std::vector<const char*>& SongMenuTitles() {
    static const std::vector<const char*> titles = {"&File",        "&Edit",   "&Device",  "&Song",
                                                    "&Move",        "&Note",   "&Options", "&View",
                                                    "&Play/Record", "&Window", "&Help"};
    return titles;
}

const std::vector<const char*>& NoSongMenuTitles() {
    static const std::vector<const char*> titles = {"&File", "&Device", "&Help"};
    return titles;
}

const std::vector<MenuCommand>& CommandTable() {
    static const std::vector<MenuCommand> table = Build();
    return table;
}

const MenuCommand* FindCommand(int id) {
    const auto& table = CommandTable();
    const auto it =
        std::find_if(table.begin(), table.end(), [id](const MenuCommand& c) { return c.id == id; });
    return it == table.end() ? nullptr : &*it;
}
