#pragma once

#include <cstdint>

// The command numbers, fixed per class.
enum CommandKind : std::int32_t {
    kCmdPutMsgAtTime = 1,
    kCmdInsertMsg = 2,
    kCmdAddMultipleMsg = 3,
    kCmdChangePitch = 4,
    kCmdDeleteMsg = 5,
    kCmdClearMsg = 6,
    kCmdMoveMsg = 9,
    kCmdCopyBlock = 10,
    kCmdCutBlock = 11,
    kCmdClearBlock = 12,
    kCmdPasteBlock = 13,
    kCmdInsertSpace = 14,
    kCmdDeleteSpace = 15,
    kCmdFitToTime = 16,
    kCmdTranspose = 17,
    kCmdQuantize = 18,
    kCmdSelectionProperties = 19,
    kCmdSongProperties = 20,
    kCmdTrackProperties = 21,
    kCmdSongDeviceFile = 22,
    kCmdSetTempo = 23,
    kCmdSetTimeKeySig = 24,
    kCmdDeleteTimeKey = 25,
    kCmdChordIter = 26,
    kCmdChordAnchor = 27,
    kCmdChordInvert = 28,
    kCmdNoteProperties = 29,
    kCmdChangeLyric = 30,
    kCmdDeleteTrack = 31,
    kCmdTrackOptions = 32,
};

// One change to a song, handed to a CommandProcessor. Execute also serves as Redo.
class CPCommand {
public:
    explicit CPCommand(std::int32_t kind) : kind_(kind) {}
    virtual ~CPCommand() = default;
    CPCommand(const CPCommand&) = delete;
    CPCommand& operator=(const CPCommand&) = delete;

    virtual bool IsUndoable() const = 0;
    // Shown after "Undo" and "Redo" in the Edit menu.
    virtual const char* GetName() const { return "UnNamed"; }
    virtual void Execute() = 0;
    virtual void Undo() {}

    std::int32_t Kind() const { return kind_; }

private:
    friend class CommandProcessor;
    std::int32_t kind_;
    // The processor's change levels before and after this command ran.
    std::int32_t levelBefore_ = 0;
    std::int32_t levelAfter_ = 0;
};
