#pragma once

#include <cstdint>

// The editing and transport operations that keys, menus and tool buttons trigger on the
// active view. The numbers are stored in the key table of the settings file, so they
// never change.
enum class KeyOperation : std::int32_t {
    AddNoteAfterCurrent = 0,
    AddNoteAtEnd = 1,
    AddNoteAtCurrentTime = 2,
    InsertNoteBeforeCurrentTime = 3,
    ChordCycle = 4,
    ChordCycleBackward = 5,
    InvertChord = 6,
    AnchorChordDown = 7,
    AnchorChordUp = 8,
    Play = 9,
    Rewind = 10,
    RewindToBeginning = 11,
    Record = 12,
    FastForward = 13,
    FastForwardToEnd = 14,
    StopPlaying = 15,
    PlayCurrentSection = 16,
    DecreaseNoteDuration = 17,
    IncreaseNoteDuration = 18,
    DecreaseNoteVelocity = 19,
    IncreaseNoteVelocity = 20,
    DownInPitch = 21,
    UpInPitch = 22,
    BackwardInTime = 23,
    ForwardInTime = 24,
    PasteSelection = 25,
    CopySelection = 26,
    ClearSelection = 27,
    CutSelection = 28,
    Undo = 29,
    MoveToPreviousNoteAtCurrentTime = 30,
    MoveToNextNoteAtCurrentTime = 31,
    SelectNotesBackward = 32,
    SelectNotesForward = 33,
    MoveNoteBackward = 34,
    MoveNoteForward = 35,
    DotSelectedNote = 36,
    TripletSelectedNote = 37,
    MakeCurrentNotePitchA = 38,
    MakeCurrentNotePitchB = 39,
    MakeCurrentNotePitchC = 40,
    MakeCurrentNotePitchD = 41,
    MakeCurrentNotePitchE = 42,
    MakeCurrentNotePitchF = 43,
    MakeCurrentNotePitchG = 44,
    CurrentNoteDownOctave = 45,
    CurrentNoteUpOctave = 46,
    UpInPitchHalfStep = 47,
    DownInPitchHalfStep = 48,
    UpInPitchInKey = 49,
    DownInPitchInKey = 50,
};

constexpr int kKeyOperationCount = 51;

constexpr std::int32_t ToCode(KeyOperation op) {
    return static_cast<std::int32_t>(op);
}
// False for a number outside the table (a damaged settings file).
constexpr bool IsKeyOperation(std::int32_t code) {
    return code >= 0 && code < kKeyOperationCount;
}

// The name shown in the key assignment dialog; "" for a number outside the table.
const char* KeyOperationName(KeyOperation op);
