#include "devices/KeyTranslator.h"
#include "devices/VirtualKeys.h"

// The shipped assignments (documented in the README). Plain letters follow the Note menu
// (A, E, M, I) and the chord keys (C, Shift+C); arrows move in pitch and time, Shift
// selects, Ctrl moves notes and octaves, Alt steps by half tones.
KeyTranslationList KeyTranslator::DefaultTable() {
    constexpr std::int32_t o = kKeyOff, on = kKeyOn;
    using K = KeyOperation;
    auto key = [](char c) { return static_cast<std::uint8_t>(c); };
    return {
        {key('A'), o, o, o, K::AddNoteAfterCurrent},
        {key('E'), o, o, o, K::AddNoteAtEnd},
        {key('M'), o, o, o, K::AddNoteAtCurrentTime},
        {key('I'), o, o, o, K::InsertNoteBeforeCurrentTime},
        {key('C'), o, o, o, K::ChordCycle},
        {key('C'), on, o, o, K::ChordCycleBackward},
        {key('V'), o, o, o, K::InvertChord},
        {vk::kPageDown, on, o, o, K::AnchorChordDown},
        {vk::kPageUp, on, o, o, K::AnchorChordUp},
        {vk::kSpace, o, o, o, K::Play},
        {vk::kF1 + 6, o, o, o, K::Rewind}, // F7
        {vk::kHome, o, on, o, K::RewindToBeginning},
        {key('R'), o, on, o, K::Record},
        {vk::kF1 + 7, o, o, o, K::FastForward}, // F8
        {vk::kEnd, o, on, o, K::FastForwardToEnd},
        {vk::kEscape, o, o, o, K::StopPlaying},
        {key('P'), o, o, o, K::PlayCurrentSection},
        {vk::kOpenBracket, o, o, o, K::DecreaseNoteDuration},
        {vk::kCloseBracket, o, o, o, K::IncreaseNoteDuration},
        {vk::kMinus, o, o, o, K::DecreaseNoteVelocity},
        {vk::kNumPadMinus, o, o, o, K::DecreaseNoteVelocity},
        {vk::kPlus, o, o, o, K::IncreaseNoteVelocity},
        {vk::kNumPadPlus, o, o, o, K::IncreaseNoteVelocity},
        {vk::kDown, o, o, o, K::DownInPitch},
        {vk::kUp, o, o, o, K::UpInPitch},
        {vk::kLeft, o, o, o, K::BackwardInTime},
        {vk::kRight, o, o, o, K::ForwardInTime},
        {key('V'), o, on, o, K::PasteSelection},
        {key('C'), o, on, o, K::CopySelection},
        {vk::kDelete, o, on, o, K::ClearSelection},
        {key('X'), o, on, o, K::CutSelection},
        {key('Z'), o, on, o, K::Undo},
        {vk::kUp, on, o, o, K::MoveToPreviousNoteAtCurrentTime},
        {vk::kTab, on, o, o, K::MoveToPreviousNoteAtCurrentTime},
        {vk::kDown, on, o, o, K::MoveToNextNoteAtCurrentTime},
        {vk::kTab, o, o, o, K::MoveToNextNoteAtCurrentTime},
        {vk::kLeft, on, o, o, K::SelectNotesBackward},
        {vk::kRight, on, o, o, K::SelectNotesForward},
        {vk::kLeft, o, on, o, K::MoveNoteBackward},
        {vk::kRight, o, on, o, K::MoveNoteForward},
        {vk::kPeriod, o, o, o, K::DotSelectedNote},
        {key('T'), o, o, o, K::TripletSelectedNote},
        {key('A'), on, on, o, K::MakeCurrentNotePitchA},
        {key('B'), on, on, o, K::MakeCurrentNotePitchB},
        {key('C'), on, on, o, K::MakeCurrentNotePitchC},
        {key('D'), on, on, o, K::MakeCurrentNotePitchD},
        {key('E'), on, on, o, K::MakeCurrentNotePitchE},
        {key('F'), on, on, o, K::MakeCurrentNotePitchF},
        {key('G'), on, on, o, K::MakeCurrentNotePitchG},
        {vk::kDown, o, on, o, K::CurrentNoteDownOctave},
        {vk::kUp, o, on, o, K::CurrentNoteUpOctave},
        {vk::kUp, o, o, on, K::UpInPitchHalfStep},
        {vk::kDown, o, o, on, K::DownInPitchHalfStep},
        {vk::kUp, on, on, o, K::UpInPitchInKey},
        {vk::kDown, on, on, o, K::DownInPitchInKey},
    };
}
