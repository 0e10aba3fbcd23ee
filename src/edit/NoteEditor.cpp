#include "edit/NoteEditor.h"

#include <algorithm>
#include <vector>

#include "edit/Clipboard.h"
#include "edit/CommandProcessor.h"
#include "edit/EditSupport.h"
#include "edit/MC_AddMultipleMsg.h"
#include "edit/MC_ChangeLyric.h"
#include "edit/MC_ChangePitch.h"
#include "edit/MC_ChordAnchor.h"
#include "edit/MC_ChordInvert.h"
#include "edit/MC_ChordIter.h"
#include "edit/MC_ClearBlock.h"
#include "edit/MC_ClearMsg.h"
#include "edit/MC_CopyBlock.h"
#include "edit/MC_CutBlock.h"
#include "edit/MC_DeleteMsg.h"
#include "edit/MC_DeleteSpace.h"
#include "edit/MC_FitToTime.h"
#include "edit/MC_InsertMsg.h"
#include "edit/MC_InsertSpace.h"
#include "edit/MC_MoveMsg.h"
#include "edit/MC_NoteProperties.h"
#include "edit/MC_PutMsgAtTime.h"
#include "edit/MC_Quantize.h"
#include "edit/MC_SelectionProperties.h"
#include "edit/MC_Transpose.h"
#include "model/KeyScale.h"
#include "model/ViewFilter.h"

namespace {

constexpr int kLetterOffset[] = {-3, -1, 0, 2, 4, 5, 7};

} // namespace

NoteEditor::NoteEditor(Song& song, const ViewFilter* filter, CommandProcessor& processor,
                       NoteEditorHost& host)
    : song_(song), filter_(filter), processor_(processor), host_(host), iter_(song, filter) {
    iter_.Seek(0);
    FollowCurrentNote();
}

// --- state -------------------------------------------------------------------------

MidiMsgNote* NoteEditor::CurrentNote() const {
    MidiMsg* msg = iter_.Msg();
    return msg && msg->kind == kMsgNote ? static_cast<MidiMsgNote*>(msg) : nullptr;
}

void NoteEditor::SetPosition(std::int32_t tick) {
    iter_.Seek(tick);
    FollowCurrentNote();
}

void NoteEditor::Refresh() {
    iter_.SetFilter(filter_);
    if (!iter_.AtEnd() && (!iter_.Msg() || !iter_.Matches(*iter_.Msg())))
        iter_.SkipToMatch();
    FollowCurrentNote();
}

std::int32_t NoteEditor::NewNoteLength() const {
    return NoteLength::NewNoteTicks(lengths_, song_.TicksPerQuarter());
}

void NoteEditor::Submit(std::unique_ptr<CPCommand> command) {
    processor_.Submit(std::move(command));
    Refresh();
}

void NoteEditor::FollowCurrentNote() {
    if (const MidiMsgNote* note = CurrentNote())
        lengths_ = NoteLength::ButtonsFor(note->duration, song_.TicksPerQuarter());
}

void NoteEditor::SelectEqual(std::int32_t time, const MidiMsg& msg) {
    if (!iter_.Seek(time) || iter_.Tick() != time)
        return;
    SongTimePoint& point = *iter_.Point();
    for (std::size_t i = point.msgs.Count(); i-- > 0;) {
        if (point.msgs[i]->IsEqual(msg) && iter_.Matches(*point.msgs[i])) {
            iter_.MsgIter().SetIndex(static_cast<long>(i));
            break;
        }
    }
    FollowCurrentNote();
}

int NoteEditor::StepPitch(int pitch, int step, int mode) const {
    if (mode == 0)
        mode = host_.MovePitchToKey() ? 2 : 1;
    if (mode == 1)
        return pitch + step;
    const std::int32_t tick = HasPosition() ? CurrentTime() : 0;
    const TimeAndKeySignature& sig =
        song_.SignatureAtMeasure(song_.TickToMusicalTime(tick).measure);
    int result = pitch;
    do {
        result += step;
    } while (result >= 0 && result <= 126 && !PitchInKey(result, sig.key, sig.mode));
    return result;
}

// --- key commands ------------------------------------------------------------------

bool NoteEditor::KeyCommand(KeyOperation code) {
    using Op = KeyOperation;
    switch (code) {
    case Op::AddNoteAfterCurrent:
        AddNoteAfterCurrent();
        break;
    case Op::AddNoteAtEnd:
        AddNoteAtEnd();
        break;
    case Op::AddNoteAtCurrentTime:
        AddNoteAtCurrentTime();
        break;
    case Op::InsertNoteBeforeCurrentTime:
        InsertNoteBeforeCurrent();
        break;
    case Op::ChordCycle:
    case Op::ChordCycleBackward:
    case Op::InvertChord:
    case Op::AnchorChordDown:
    case Op::AnchorChordUp:
        Chord(code);
        break;
    case Op::PlayCurrentSection:
        PlayCurrentSection();
        break;
    case Op::DecreaseNoteDuration:
    case Op::IncreaseNoteDuration:
        if (const MidiMsgNote* note = CurrentNote()) {
            const std::int32_t tpq = song_.TicksPerQuarter();
            ChangeNote(code == Op::IncreaseNoteDuration ? NoteLength::Longer(note->duration, tpq)
                                                        : NoteLength::Shorter(note->duration, tpq),
                       note->velocity, note->releaseVelocity);
        }
        break;
    case Op::DecreaseNoteVelocity:
        ChangeVelocity(-1);
        break;
    case Op::IncreaseNoteVelocity:
        ChangeVelocity(1);
        break;
    case Op::DownInPitch:
    case Op::UpInPitch:
    case Op::UpInPitchHalfStep:
    case Op::DownInPitchHalfStep:
    case Op::UpInPitchInKey:
    case Op::DownInPitchInKey:
        if (const MidiMsgNote* note = CurrentNote()) {
            const int step =
                code == Op::UpInPitch || code == Op::UpInPitchHalfStep || code == Op::UpInPitchInKey
                    ? 1
                    : -1;
            const int mode = code <= Op::UpInPitch ? 0 : code <= Op::DownInPitchHalfStep ? 1 : 2;
            ChangePitch(StepPitch(note->key, step, mode), true);
        }
        break;
    case Op::BackwardInTime:
    case Op::ForwardInTime:
        MoveInTime(code == Op::ForwardInTime ? 1 : -1);
        break;
    case Op::PasteSelection:
        PasteFromKey();
        break;
    case Op::CopySelection:
        if (Refusal refusal = Copy())
            host_.ShowRefusal(refusal);
        break;
    case Op::ClearSelection:
        if (Refusal refusal = Clear())
            host_.ShowRefusal(refusal);
        break;
    case Op::CutSelection:
        if (Refusal refusal = Cut())
            host_.ShowRefusal(refusal);
        break;
    case Op::Undo:
        return false;
    case Op::MoveToPreviousNoteAtCurrentTime:
    case Op::MoveToNextNoteAtCurrentTime:
        StepAmongEvents(code == Op::MoveToNextNoteAtCurrentTime ? 1 : -1);
        break;
    case Op::SelectNotesBackward:
    case Op::SelectNotesForward:
        SelectNotes(code == Op::SelectNotesForward ? 1 : -1);
        break;
    case Op::MoveNoteBackward:
    case Op::MoveNoteForward:
        MoveNote(code == Op::MoveNoteForward ? 1 : -1);
        break;
    case Op::DotSelectedNote:
        if (const MidiMsgNote* note = CurrentNote())
            ChangeNote(NoteLength::Dotted(note->duration), note->velocity, note->releaseVelocity);
        break;
    case Op::TripletSelectedNote:
        if (const MidiMsgNote* note = CurrentNote()) {
            const std::int32_t longer =
                NoteLength::Tripleted(note->duration, song_.TicksPerQuarter());
            if (longer != note->duration)
                ChangeNote(longer, note->velocity, note->releaseVelocity);
        }
        break;
    case Op::CurrentNoteDownOctave:
    case Op::CurrentNoteUpOctave:
        if (const MidiMsgNote* note = CurrentNote())
            ChangePitch(note->key + (code == Op::CurrentNoteUpOctave ? 12 : -12), true);
        break;
    default:
        if (code >= Op::MakeCurrentNotePitchA && code <= Op::MakeCurrentNotePitchG) {
            LetterPitch(ToCode(code) - ToCode(Op::MakeCurrentNotePitchA));
            break;
        }
        if (code >= Op::Play && code <= Op::StopPlaying) {
            host_.Transport(code);
            break;
        }
        return false;
    }
    return true;
}

void NoteEditor::PutNote(const MidiMsgNote& note, std::int32_t time) {
    Submit(std::make_unique<MC_PutMsgAtTime>(iter_, note, time));
    SelectEqual(time, note);
}

bool NoteEditor::MakeCurrent(std::int32_t tick, std::int32_t msgIndex) {
    if (!iter_.Seek(tick) || iter_.Tick() != tick || msgIndex < 0 ||
        static_cast<std::size_t>(msgIndex) >= iter_.Point()->msgs.Count() ||
        !iter_.Matches(*iter_.Point()->msgs[static_cast<std::size_t>(msgIndex)]))
        return false;
    iter_.MsgIter().SetIndex(msgIndex);
    selection_.reset();
    FollowCurrentNote();
    return true;
}

void NoteEditor::PutNoteAt(std::int32_t tick, int pitch, bool intoKey) {
    if (tick < 0 || pitch < 0 || pitch > 127)
        return;
    if (intoKey) {
        const TimeAndKeySignature& sig =
            song_.SignatureAtMeasure(song_.TickToMusicalTime(tick).measure);
        if (!PitchInKey(pitch, sig.key, sig.mode))
            pitch += sig.key < 0 ? -1 : 1;
        if (pitch < 0 || pitch > 127)
            return;
    }
    const MidiMsgNote* current = CurrentNote();
    MidiMsgNote note(placement_.channel, static_cast<std::uint8_t>(pitch),
                     current ? current->velocity : std::uint8_t{96}, NewNoteLength(),
                     placement_.program, placement_.bank,
                     current ? current->releaseVelocity : std::uint8_t{0});
    note.track = placement_.track;
    selection_.reset();
    PutNote(note, tick);
    if (host_.HesitatePlay())
        host_.SoundAfterHesitation(note, tick);
}

void NoteEditor::MoveCurrentBy(std::int32_t amount) {
    if (!CurrentNote() || amount == 0)
        return;
    if (std::int64_t{CurrentTime()} + amount < 0) {
        host_.Beep();
        return;
    }
    Submit(std::make_unique<MC_MoveMsg>(iter_, amount, [this] { host_.Beep(); }));
    FollowCurrentNote();
}

void NoteEditor::ExtendSelectionTo(std::int32_t tick) {
    if (selection_) {
        selection_ = Selection{std::min(selection_->start, tick), std::max(selection_->end, tick)};
        return;
    }
    const std::int32_t anchor = HasPosition() ? CurrentTime() : 0;
    selection_ = Selection{std::min(anchor, tick), std::max(anchor, tick)};
}

void NoteEditor::ChangePitch(int pitch, bool sound) {
    const MidiMsgNote* note = CurrentNote();
    if (!note || pitch < 0 || pitch > 127 || pitch == note->key)
        return;
    const std::int32_t time = CurrentTime();
    MidiMsgNote changed = *note;
    changed.key = static_cast<std::uint8_t>(pitch);
    Submit(std::make_unique<MC_ChangePitch>(iter_, *note, time, changed.key));
    if (sound && host_.HesitatePlay())
        host_.SoundAfterHesitation(changed, time);
}

void NoteEditor::ChangeNote(std::int32_t duration, int velocity, int releaseVelocity) {
    const MidiMsgNote* note = CurrentNote();
    if (!note || duration <= 0)
        return;
    Submit(std::make_unique<MC_NoteProperties>(
        iter_, *note, CurrentTime(), static_cast<std::uint8_t>(velocity),
        static_cast<std::uint8_t>(releaseVelocity), duration));
    FollowCurrentNote();
}

void NoteEditor::AddNoteAfterCurrent() {
    const MidiMsgNote* current = CurrentNote();
    if (!current) {
        AddNoteAtEnd();
        return;
    }
    MidiMsgNote note(placement_.channel, current->key, current->velocity, current->duration,
                     placement_.program, placement_.bank, current->releaseVelocity);
    note.track = placement_.track;
    const std::int64_t time = std::int64_t{CurrentTime()} + current->duration;
    if (time <= kEndTick)
        PutNote(note, static_cast<std::int32_t>(time));
}

void NoteEditor::AddNoteAtEnd() {
    // The last point the view shows.
    SongTimeIter last(song_);
    last.Seek(kEndTick);
    bool found = false;
    while (!found && last.Prev())
        for (const MidiMsg* m : last.Point()->msgs)
            if (!filter_ || filter_->Matches(*m))
                found = true;
    const std::int32_t endTime = found ? last.Tick() : 0;

    MidiMsgNote note(placement_.channel, 60, 96, NewNoteLength(), placement_.program,
                     placement_.bank, 0);
    note.track = placement_.track;
    std::int64_t time = endTime;
    const MidiMsgNote* current = CurrentNote();
    if (found && current && HasPosition() && iter_.Point() == last.Point()) {
        note.key = current->key;
        note.velocity = current->velocity;
        note.releaseVelocity = current->releaseVelocity;
        note.duration = current->duration;
        time += current->duration;
    } else {
        const int pitch = StepPitch(59, 1, 0);
        if (pitch < 0 || pitch > 127)
            return;
        note.key = static_cast<std::uint8_t>(pitch);
        std::int32_t longest = 0;
        if (found)
            for (const MidiMsg* m : last.Point()->msgs)
                if (!filter_ || filter_->Matches(*m))
                    longest = std::max(longest, m->duration);
        time += longest;
    }
    if (time <= kEndTick)
        PutNote(note, static_cast<std::int32_t>(time));
}

void NoteEditor::AddNoteAtCurrentTime() {
    const MidiMsgNote* current = CurrentNote();
    if (!current)
        return;
    // A third below in the key; at the bottom of the range, a step above instead.
    int pitch = StepPitch(current->key - 2, -1, 2);
    if (pitch < 0 || pitch > 127) {
        pitch = current->key - 2;
        for (int i = 0; i < 4; ++i)
            pitch = StepPitch(pitch, 1, 0);
    }
    if (pitch < 0 || pitch > 127)
        return;
    MidiMsgNote note = *current;
    note.key = static_cast<std::uint8_t>(pitch);
    const std::int32_t time = CurrentTime();
    Submit(std::make_unique<MC_AddMultipleMsg>(iter_, current->key, note, time));
    SelectEqual(time, note);
}

void NoteEditor::InsertNoteBeforeCurrent() {
    const MidiMsgNote* current = CurrentNote();
    if (!current) {
        AddNoteAtEnd();
        return;
    }
    MidiMsgNote note(placement_.channel, current->key, current->velocity, current->duration,
                     placement_.program, placement_.bank, current->releaseVelocity);
    note.track = placement_.track;
    const std::int32_t time = CurrentTime();
    Submit(std::make_unique<MC_InsertMsg>(iter_, note, note.duration, time));
    SelectEqual(time, note);
}

void NoteEditor::Chord(KeyOperation code) {
    using Op = KeyOperation;
    const MidiMsgNote* note = CurrentNote();
    if (!note)
        return;
    const std::int32_t time = CurrentTime();
    switch (code) {
    case Op::ChordCycle:
    case Op::ChordCycleBackward:
        Submit(std::make_unique<MC_ChordIter>(iter_, *note, time, code == Op::ChordCycle ? 1 : -1));
        break;
    case Op::InvertChord:
        Submit(std::make_unique<MC_ChordInvert>(iter_, *note, time));
        break;
    default:
        Submit(std::make_unique<MC_ChordAnchor>(iter_, *note, time,
                                                code == Op::AnchorChordUp ? 12 : -12));
    }
    FollowCurrentNote();
}

void NoteEditor::PlayCurrentSection() {
    if (selection_) {
        host_.PlayRange(selection_->start, selection_->end);
        return;
    }
    if (!HasPosition())
        return;
    const std::int32_t span = 4 * song_.TicksPerQuarter();
    const std::int32_t time = CurrentTime();
    host_.PlayRange(std::max(0, time - span), static_cast<std::int32_t>(std::min<std::int64_t>(
                                                  std::int64_t{time} + span, kEndTick)));
}

void NoteEditor::ChangeVelocity(int step) {
    const MidiMsgNote* note = CurrentNote();
    if (!note)
        return;
    const int velocity = note->velocity;
    if (step > 0 && velocity < 127)
        ChangeNote(note->duration, std::min(velocity + 4, 127), note->releaseVelocity);
    else if (step < 0 && velocity > 4)
        ChangeNote(note->duration, velocity < 125 ? velocity - 4 : 124, note->releaseVelocity);
}

// --- moving ------------------------------------------------------------------------

// On to the next (step 1) or previous (-1) time point that shows an event. From past the
// end only a backward move goes anywhere.
bool NoteEditor::Move(int step) {
    if (step > 0 && !HasPosition())
        return false;
    SongTimeIter probe(iter_.TimeIter());
    while (step > 0 ? probe.Next() : probe.Prev()) {
        for (const MidiMsg* m : probe.Point()->msgs) {
            if (iter_.Matches(*m)) {
                iter_.Seek(probe.Tick());
                return true;
            }
        }
    }
    return false;
}

void NoteEditor::MoveInTime(int step) {
    selection_.reset();
    if (Move(step))
        FollowCurrentNote();
}

void NoteEditor::StepAmongEvents(int step) {
    if (!HasPosition())
        return;
    SongTimePoint& point = *iter_.Point();
    std::vector<long> shown;
    for (std::size_t i = 0; i < point.msgs.Count(); ++i)
        if (iter_.Matches(*point.msgs[i]))
            shown.push_back(static_cast<long>(i));
    if (shown.empty())
        return;
    const auto at = std::find(shown.begin(), shown.end(), iter_.MsgIter().Index());
    long pos = at == shown.end() ? 0 : at - shown.begin();
    const auto count = static_cast<long>(shown.size());
    pos = ((pos + step) % count + count) % count;
    iter_.MsgIter().SetIndex(shown[static_cast<std::size_t>(pos)]);
    FollowCurrentNote();
}

void NoteEditor::SelectNotes(int step) {
    if (!HasPosition())
        return;
    const std::int32_t before = CurrentTime();
    const bool moved = Move(step);
    const std::int32_t now = moved ? CurrentTime() : before;
    if (!selection_) {
        selection_ = step > 0 ? Selection{before, now} : Selection{now, before};
    } else if (moved) {
        Selection& s = *selection_;
        if (step > 0) {
            if (now > s.end)
                s.end = now;
            else if (now > s.start)
                s.start = now;
        } else {
            if (now < s.start)
                s.start = now;
            else if (now < s.end)
                s.end = std::max(now, s.start);
        }
    }
    FollowCurrentNote();
}

void NoteEditor::MoveNote(int step) {
    if (!CurrentNote())
        return;
    const auto amount = static_cast<std::int32_t>(host_.SnapTo() * 4 * song_.TicksPerQuarter()) *
                        (step > 0 ? 1 : -1);
    // Without a snap-to resolution there is nothing to move by; a move that would do
    // nothing keeps the undo history.
    if (amount == 0)
        return;
    if (std::int64_t{CurrentTime()} + amount < 0) {
        host_.Beep();
        return;
    }
    Submit(std::make_unique<MC_MoveMsg>(iter_, amount, [this] { host_.Beep(); }));
}

void NoteEditor::LetterPitch(int letter) {
    const MidiMsgNote* note = CurrentNote();
    if (!note)
        return;
    // Within the block of twelve from A below the C up to G sharp that holds the pitch;
    // with "Move Pitch to Key", the nearest pitch of the key at or above.
    const int target = (note->key + 3) / 12 * 12 + kLetterOffset[letter];
    ChangePitch(StepPitch(target - 1, 1, 0), true);
}

// --- the Note menu -----------------------------------------------------------------

void NoteEditor::DeleteCurrent() {
    if (MidiMsg* msg = Current())
        Submit(std::make_unique<MC_DeleteMsg>(iter_, *msg, CurrentTime()));
}

void NoteEditor::ClearCurrent() {
    if (MidiMsg* msg = Current())
        Submit(std::make_unique<MC_ClearMsg>(iter_, *msg, CurrentTime()));
}

void NoteEditor::SetNoteProperties(std::int32_t duration, std::uint8_t velocity,
                                   std::uint8_t releaseVelocity) {
    ChangeNote(duration, velocity, releaseVelocity);
}

void NoteEditor::PressLengthButton(int button) {
    if (button < 0 || button >= NoteLength::kButtons)
        return;
    lengths_.button = button;
    if (button == 0)
        lengths_.triplet = false;
    if (const MidiMsgNote* note = CurrentNote()) {
        const NoteLengthState pressed = lengths_;
        ChangeNote(NoteLength::ButtonTicks(pressed, song_.TicksPerQuarter()), note->velocity,
                   note->releaseVelocity);
        lengths_ = pressed;
    }
}

// --- the Edit menu -----------------------------------------------------------------

void NoteEditor::SelectAll() {
    selection_ = Selection{0, song_.LastTick()};
}

void NoteEditor::SelectTimeRange(std::int32_t start, std::int32_t end) {
    selection_ = Selection{start, std::max(end, start)};
    SetPosition(start);
}

Refusal NoteEditor::Copy() {
    if (!selection_) {
        if (!HasPosition())
            return {};
        selection_ = Selection{CurrentTime(), CurrentTime()};
    }
    Submit(std::make_unique<MC_CopyBlock>(iter_, selection_->start, selection_->end));
    return {};
}

Refusal NoteEditor::Cut() {
    if (selection_) {
        const Selection s = *selection_;
        selection_.reset();
        Submit(std::make_unique<MC_CutBlock>(iter_, s.start, s.end));
    } else {
        DeleteCurrent();
    }
    return {};
}

Refusal NoteEditor::Clear() {
    if (selection_) {
        const Selection s = *selection_;
        selection_.reset();
        Submit(std::make_unique<MC_ClearBlock>(iter_, s.start, s.end));
        return {};
    }
    if (!Current())
        return kClearNothing;
    ClearCurrent();
    return {};
}

Refusal NoteEditor::PasteRefusal(bool fromClick, std::optional<std::int32_t> clicked) const {
    if (!Clipboard::Get())
        return kPasteNothing;
    if (fromClick && !clicked)
        return kPasteClick;
    return {};
}

PasteOptions NoteEditor::DefaultPasteOptions() const {
    PasteOptions options;
    options.at = HasPosition() ? CurrentTime() : 0;
    options.target.placement = TrackPlacement::ForceCurrent;
    options.target.track = placement_.track;
    options.target.channel = placement_.channel;
    options.target.program = placement_.program;
    options.target.bank = placement_.bank;
    return options;
}

Refusal NoteEditor::Paste(const PasteOptions& options) {
    if (Refusal refusal = PasteRefusal())
        return refusal;
    Submit(std::make_unique<MC_PasteBlock>(iter_, options));
    FollowCurrentNote();
    return {};
}

void NoteEditor::PasteFromKey() {
    if (Refusal refusal = PasteRefusal()) {
        host_.ShowRefusal(refusal);
        return;
    }
    PasteOptions options = DefaultPasteOptions();
    if (!host_.AskPasteOptions(options))
        return;
    if (Refusal refusal = Paste(options))
        host_.ShowRefusal(refusal);
}

std::int32_t NoteEditor::SpaceTime(bool atNote) const {
    if (!HasPosition())
        return 0;
    const MidiMsg* msg = Current();
    if (atNote || !msg)
        return CurrentTime();
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(std::int64_t{CurrentTime()} + msg->duration, kEndTick));
}

Refusal NoteEditor::InsertSpace(std::optional<std::int32_t> at, std::int32_t length) {
    if (!at)
        return kInsertClick;
    if (length > 0)
        Submit(std::make_unique<MC_InsertSpace>(iter_, *at, length));
    return {};
}

Refusal NoteEditor::DeleteSpace(std::optional<std::int32_t> at, std::int32_t length) {
    if (!at)
        return kDeleteClick;
    if (length > 0)
        Submit(std::make_unique<MC_DeleteSpace>(iter_, *at, length));
    return {};
}

Refusal NoteEditor::SelectionProperties(const SelectionProps& props) {
    if (!selection_)
        return kPropertiesNothing;
    Submit(
        std::make_unique<MC_SelectionProperties>(iter_, selection_->start, selection_->end, props));
    return {};
}

Refusal NoteEditor::Transpose(int semitones) {
    if (!selection_)
        return kTransposeNothing;
    if (semitones != 0)
        Submit(
            std::make_unique<MC_Transpose>(iter_, selection_->start, selection_->end, semitones));
    return {};
}

Refusal NoteEditor::Quantize(const QuantizeOptions& options) {
    if (!selection_)
        return kQuantizeNothing;
    if (options.fitToTime && options.fitLength <= 0)
        return kFitToZero;
    const Selection s = *selection_;
    selection_.reset();
    if (options.fitToTime)
        Submit(std::make_unique<MC_FitToTime>(iter_, s.start, s.end, options.fitLength,
                                              options.moveRest));
    if (options.grid > 0) {
        // A fit moved the end of the range with it.
        const std::int32_t end = options.fitToTime
                                     ? static_cast<std::int32_t>(std::min<std::int64_t>(
                                           std::int64_t{s.start} + options.fitLength - 1, kEndTick))
                                     : s.end;
        Submit(std::make_unique<MC_Quantize>(iter_, s.start, end, options.grid,
                                             options.alignBeginnings, options.alignDurations));
    }
    return {};
}

Refusal NoteEditor::SetPlayBar(std::optional<std::int32_t> clicked) {
    if (!clicked)
        return kPlayBarClick;
    host_.SetPlayBar(*clicked);
    return {};
}

NoteEditor::FoundText NoteEditor::Nearby(std::int32_t clicked, int textType, bool audio) {
    ViewFilter texts = filter_ ? *filter_ : ViewFilter();
    texts.SetKind(kMsgText, textType);
    SongIter it(song_, &texts);
    const std::int64_t limit = std::int64_t{clicked} + song_.TicksPerQuarter();
    for (bool ok = it.Seek(clicked); ok && it.Tick() < limit; ok = it.Next()) {
        auto* text = static_cast<MidiMsgText*>(it.Msg());
        if (!audio || text->text.StartsWith(kAudioPrefix))
            return {text, it.Tick()};
    }
    return {};
}

MidiMsgText* NoteEditor::NearbyLyric(std::int32_t clicked) {
    return Nearby(clicked, 5, false).text;
}

MidiMsgText* NoteEditor::NearbyAudio(std::int32_t clicked) {
    return Nearby(clicked, 7, true).text;
}

Refusal NoteEditor::AddLyric(std::optional<std::int32_t> clicked, const AString& text) {
    if (!clicked)
        return kAddLyricClick;
    MidiMsgText lyric(5, text);
    lyric.track = placement_.track;
    Submit(std::make_unique<MC_PutMsgAtTime>(iter_, lyric, *clicked));
    return {};
}

Refusal NoteEditor::ChangeLyric(std::optional<std::int32_t> clicked, const AString& text) {
    if (!clicked)
        return kChangeLyricClick;
    if (MidiMsgText* lyric = NearbyLyric(*clicked))
        Submit(std::make_unique<MC_ChangeLyric>(*lyric, text));
    return {};
}

Refusal NoteEditor::DeleteLyric(std::optional<std::int32_t> clicked) {
    if (!clicked)
        return kDeleteLyricClick;
    const FoundText lyric = Nearby(*clicked, 5, false);
    if (!lyric.text)
        return kDeleteLyricFar;
    Submit(std::make_unique<MC_ClearMsg>(iter_, *lyric.text, lyric.tick));
    return {};
}

Refusal NoteEditor::AddAudio(std::optional<std::int32_t> clicked, const AString& fileName) {
    if (!clicked)
        return kAddAudioClick;
    Submit(
        std::make_unique<MC_PutMsgAtTime>(iter_, AudioCue(fileName, placement_.track), *clicked));
    return {};
}

MidiMsgText NoteEditor::AudioCue(const AString& fileName, std::uint16_t track) {
    MidiMsgText cue(7, AString(kAudioPrefix) + fileName);
    cue.track = track;
    return cue;
}

Refusal NoteEditor::ChangeAudio(std::optional<std::int32_t> clicked, const AString& fileName) {
    if (!clicked)
        return kChangeAudioClick;
    if (MidiMsgText* cue = NearbyAudio(*clicked))
        Submit(std::make_unique<MC_ChangeLyric>(*cue, AString(kAudioPrefix) + fileName));
    return {};
}

Refusal NoteEditor::DeleteAudio(std::optional<std::int32_t> clicked) {
    if (!clicked)
        return kDeleteAudioClick;
    const FoundText cue = Nearby(*clicked, 7, true);
    if (!cue.text)
        return kDeleteAudioFar;
    // Deleting the file is the one step undo cannot take back: it is offered only for
    // the cue's own file, and said so.
    const NoteEditorHost::AudioFileCheck file =
        host_.CheckAudioFile(cue.text->text.Mid(AString(kAudioPrefix).Length()), *cue.text);
    const bool deleteFile =
        file.reason.IsEmpty() &&
        host_.AskYesNo(AString(kDeleteAudioFile) + "\n\n" + file.path + "\n\n" + kDeleteAudioUndo);
    Submit(std::make_unique<MC_ClearMsg>(iter_, *cue.text, cue.tick));
    if (!file.reason.IsEmpty())
        return Refusal(AString(kDeleteAudioKept) + file.reason, MessageIcon::Information);
    AString error;
    if (deleteFile && !host_.DeleteAudioFile(file.path, error))
        return AString(kDeleteAudioFailed) + file.path + "\n\n" + error;
    return {};
}

// --- arithmetic --------------------------------------------------------------------

AString NoteEditor::SelectionDurationText(const BlockCopy& copy) {
    const MusicalTime length = copy.song->TickToMusicalTime(copy.length);
    return AString("Selection Duration: ") + AString::FromInt(length.measure) + " bars, " +
           AString::FromInt(length.beat) + " beats, " + AString::FromInt(length.tick) + " ticks";
}

std::int32_t NoteEditor::AlignGrid(int entry, std::int32_t ticksPerQuarter) {
    static constexpr int kParts[] = {0, 3, 4, 6, 8, 12, 16, 24, 32, 64};
    if (entry <= 0 || entry >= static_cast<int>(std::size(kParts)))
        return 0;
    if (entry == 2)
        return ticksPerQuarter;
    return 4 * ticksPerQuarter / kParts[entry];
}

std::int32_t NoteEditor::AmountToTicks(const Song& song, std::int32_t start,
                                       const MusicalTime& amount) {
    std::int64_t tick = start;
    for (std::int32_t bar = 0; bar < amount.measure && tick < kEndTick; ++bar) {
        const TimeAndKeySignature& sig = song.SignatureAtMeasure(
            song.TickToMusicalTime(static_cast<std::int32_t>(tick)).measure);
        tick += song.MeasureTicks(sig);
    }
    tick = std::min<std::int64_t>(tick, kEndTick);
    const TimeAndKeySignature& sig =
        song.SignatureAtMeasure(song.TickToMusicalTime(static_cast<std::int32_t>(tick)).measure);
    tick += std::int64_t{amount.beat} * (song.MeasureTicks(sig) / std::max(sig.numerator, 1));
    tick += amount.tick;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(tick - start, 0, kEndTick));
}
