#include "record/MidiRecordSession.h"

#include <algorithm>

#include "edit/BlockOps.h"
#include "edit/NoteEditor.h"
#include "edit/TypedTime.h"
#include "model/MidiMsg.h"
#include "model/Song.h"
#include "model/SongIter.h"
#include "record/MidiRecorder.h"
#include "record/MidiTakeBuilder.h"

namespace {

// An amount of `length` ticks from `start` as bars, beats and ticks of the time map.
MusicalTime TicksToAmount(const Song& song, std::int32_t start, std::int32_t length) {
    MusicalTime amount;
    std::int64_t tick = start;
    const std::int64_t end = std::int64_t{start} + length;
    for (;;) {
        const TimeAndKeySignature& sig = song.SignatureAtMeasure(
            song.TickToMusicalTime(static_cast<std::int32_t>(tick)).measure);
        const std::int32_t bar = std::max(song.MeasureTicks(sig), 1);
        if (tick + bar > end) {
            const std::int32_t beat = std::max(bar / std::max(sig.numerator, 1), 1);
            const auto rest = static_cast<std::int32_t>(end - tick);
            amount.beat = rest / beat;
            amount.tick = rest % beat;
            return amount;
        }
        tick += bar;
        ++amount.measure;
    }
}

} // namespace

MidiRecordSession::MidiRecordSession(Song& song, std::int32_t usPerQuarter, std::int32_t cursor,
                                     bool relativeTimes, MidiRecorder& recorder)
    : song_(song), recorder_(recorder), take_(std::make_unique<Song>()) {
    take_->SetTicksPerQuarter(song.TicksPerQuarter());
    builder_ = std::make_unique<MidiTakeBuilder>(*take_, usPerQuarter, relativeTimes);
    placeAt = song.TickToMusicalTime(std::max(cursor, 0));
}

MidiRecordSession::~MidiRecordSession() = default;

bool MidiRecordSession::Open(const std::function<void()>& startHook,
                             const std::function<void()>& stopPlayer) {
    state_ = State::Recording;
    if (startHook)
        startHook();
    if (recorder_.Start(startReport_))
        return true;
    if (startReport_)
        startReport_->Show();
    if (stopPlayer)
        stopPlayer();
    state_ = State::Closed;
    return false;
}

std::size_t MidiRecordSession::Drain() {
    if (!builder_)
        return 0;
    builder_->BeginDrain();
    std::size_t count = 0;
    MidiRecorderMessage m;
    while (recorder_.ReadMessage(m)) {
        builder_->Add(m.entry);
        ++count;
    }
    received_ = received_ || count > 0;
    return count;
}

void MidiRecordSession::StopRecorder(const std::function<void()>& stopPlayer) {
    std::optional<MidiDeviceReport> stopReport;
    recorder_.Stop(stopReport);
    if (startReport_) {
        ShowMessage(kAppTitle, kSomeNotOpened, MessageIcon::Information);
        startReport_->Show();
        startReport_.reset();
    }
    if (stopReport)
        stopReport->Show();
    if (stopPlayer)
        stopPlayer();
}

bool MidiRecordSession::Done(const std::function<void()>& stopPlayer) {
    if (state_ != State::Recording)
        return state_ == State::Choosing;
    StopRecorder(stopPlayer);
    // The ports are closed: this drain takes the last of what they delivered.
    Drain();
    if (take_->PointCount() == 0) {
        ShowMessage(kAppTitle, kNothingRecorded, MessageIcon::Information);
        take_.reset();
        state_ = State::Closed;
        return false;
    }
    state_ = State::Choosing;
    std::int32_t at = 0;
    if (TypedTime::ToTick(song_, placeAt, at))
        at = 0;
    // The length fitting scales from, so that OK with the preset changes nothing.
    SongIter it(*take_);
    fitAmount = TicksToAmount(song_, at, BlockOps::RangeLength(it, 0, take_->LastTick()));
    return true;
}

void MidiRecordSession::Cancel(const std::function<void()>& stopPlayer) {
    if (state_ == State::Recording)
        StopRecorder(stopPlayer);
    take_.reset();
    builder_.reset();
    state_ = State::Closed;
}

Refusal MidiRecordSession::Accept(MidiTakePlacement& placement) const {
    MidiTakePlacement chosen;
    if (Refusal r = TypedTime::ToTick(song_, placeAt, chosen.at))
        return r;
    chosen.method = std::clamp(method, 0, 2);
    chosen.assignByChannel = assignByChannel;
    chosen.grid = NoteEditor::AlignGrid(alignEntry, song_.TicksPerQuarter());
    chosen.alignBeginnings = alignBeginnings;
    chosen.alignDurations = alignDurations;
    chosen.align = chosen.grid > 0 && (alignBeginnings || alignDurations);
    chosen.fit = fitToTime;
    if (fitToTime) {
        chosen.fitLength = NoteEditor::AmountToTicks(song_, chosen.at, fitAmount);
        if (chosen.fitLength <= 0)
            return Refusal(kFitZero, MessageIcon::Stop);
    }
    placement = chosen;
    return {};
}

const char* MidiRecordSession::MessageText() const {
    if (state_ == State::Recording)
        return received_ ? kReceiving : kRecording;
    return kFinished;
}

std::unique_ptr<Song> MidiRecordSession::TakeSong() {
    return std::move(take_);
}

std::int32_t MidiRecordSession::TakeLength(Song& take) {
    std::int64_t end = 0;
    std::int32_t tick = 0;
    const auto& points = take.Points();
    for (auto p = points.Begin(); p != points.End(); ++p) {
        tick += (*p)->delta;
        for (const MidiMsg* m : (*p)->msgs) {
            std::int64_t last = std::int64_t{tick} + 1;
            if (m->kind == kMsgNote)
                last = std::int64_t{tick} + static_cast<const MidiMsgNote*>(m)->duration;
            end = std::max(end, last);
        }
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(end, kEndTick));
}
