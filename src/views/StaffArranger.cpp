#include "views/StaffArranger.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

#include "model/MidiMsg.h"
#include "model/Song.h"
#include "model/SongIter.h"
#include "model/ViewOptions.h"

namespace {

constexpr std::int32_t kMaxTick = std::numeric_limits<std::int32_t>::max();

std::int32_t ClampTick(std::int64_t tick) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(tick, 0, kMaxTick));
}

std::int16_t Bound16(std::int32_t value) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, 0, 32767));
}

// Fractions come from files too: no negative, no NaN, nothing absurd.
double SaneFraction(double fraction) {
    if (!(fraction >= 0.0))
        return 0.0;
    return std::min(fraction, 4.0);
}

} // namespace

StaffArranger::StaffArranger(std::size_t blockBytes) : block_(blockBytes) {
    for (auto& symbols : controllerSymbol_)
        symbols = {-1, -1};
    SetTicksPerQuarter(384);
}

StaffArranger::~StaffArranger() = default;

void StaffArranger::SetGrandStaffDistance(std::int32_t positions) {
    placement_.SetStaffDistance(positions);
}

void StaffArranger::SetClef(std::int32_t clef, std::int32_t splitDiatonic) {
    placement_.SetClef(clef, splitDiatonic);
}

void StaffArranger::SetTicksPerQuarter(std::int32_t ticks) {
    ticksPerQuarter_ = std::max(ticks, 1);
    for (std::size_t i = 0; i < thresholds_.size(); ++i)
        thresholds_[i] = static_cast<std::int32_t>(staff_tables::kThresholds[i] * ticksPerQuarter_);
    UpdateMergeTicks();
}

void StaffArranger::SetTimeGroupMerge(double fraction) {
    mergeFraction_ = SaneFraction(fraction);
    UpdateMergeTicks();
}

void StaffArranger::UpdateMergeTicks() {
    mergeTicks_ = static_cast<std::int32_t>(mergeFraction_ * ticksPerQuarter_);
}

void StaffArranger::SetBeamTolerance(double fraction) {
    beamTolerance_ = SaneFraction(fraction);
}

void StaffArranger::SetControllerSymbol(std::int32_t controller, std::int32_t state,
                                        std::int32_t symbol) {
    if (controller < 0 || controller > 127 || state < 0 || state > 1)
        return;
    controllerSymbol_[static_cast<std::size_t>(controller)][static_cast<std::size_t>(state)] =
        symbol;
}

void StaffArranger::SetTextTypes(bool lyrics, bool comments, bool trackName, bool tempo) {
    showLyrics_ = lyrics;
    showComments_ = comments;
    showTrackName_ = trackName;
    showTempo_ = tempo;
}

void StaffArranger::Configure(const ViewOptions& options) {
    SetClef(options.clefType, options.splitPitch);
    SetTimeGroupMerge(options.timeGroupMerge);
    SetBeamTolerance(options.beamNoteTolerance);
    SetGrandStaffDistance(10);
    for (std::int32_t controller : {64, 66, 67}) {
        SetControllerSymbol(controller, 1, kSymbolPedalDown);
        SetControllerSymbol(controller, 0, kSymbolPedalUp);
    }
    SetTextTypes(options.showLyrics != 0, options.showComments != 0, options.showTrackName != 0,
                 options.displayTempo != 0);
}

std::int32_t StaffArranger::Threshold(std::int32_t type) const {
    return IsValidDurationType(type) ? thresholds_[static_cast<std::size_t>(type)] : 0;
}

std::int32_t StaffArranger::DurationType(std::int32_t ticks) const {
    for (std::int32_t type = kDurWhole; type > 0; --type)
        if (ticks >= thresholds_[static_cast<std::size_t>(type)])
            return type;
    return kDur64th;
}

void StaffArranger::Start(Song& song, const ViewFilter* filter, std::int32_t startTick) {
    song_ = &song;
    // The thresholds follow the song's resolution.
    SetTicksPerQuarter(song.TicksPerQuarter());
    iter_ = std::make_unique<SongIter>(song, filter);
    std::int32_t inMeasure = 0;
    const MusicalTime at = song.TickToMusicalTime(std::max(startTick, 0), &inMeasure);
    at_.measureNumber_ = at.measure;
    at_.measureStart_ = std::max(startTick, 0) - inMeasure;
    iter_->Seek(at_.measureStart_);
    at_.staffEnd_.fill(at_.measureStart_);
    at_.controllerOn_.fill(0);
    at_.carried_.clear();
    at_.nextTieId_ = 0;
    at_.nextBeamId_ = 0;
    at_.firstAfterStart_ = true;
    block_.Reset();
    tempos_.clear();
    at_.nextTempo_ = 0;
    if (showTempo_) {
        for (std::size_t i = 0; i < song.TempoCount(); ++i) {
            std::int32_t tick = 0, tempo = 0;
            if (song.GetTempo(i, tick, tempo) && tick >= at_.measureStart_)
                tempos_.push_back({tick, tempo});
        }
    }
}

StaffArranger::Position StaffArranger::SavePosition() const {
    return at_;
}

void StaffArranger::RestorePosition(const Position& position) {
    if (!iter_)
        throw std::logic_error("StaffArranger: position restored before Start");
    at_ = position;
    // Every measure leaves the cursor on the first record at or after its end.
    iter_->Seek(at_.measureStart_);
    block_.Reset();
}

bool StaffArranger::SongUsedUp() const {
    return !iter_ || iter_->AtEnd();
}

std::int16_t StaffArranger::NextTieId() {
    const std::int16_t id = at_.nextTieId_;
    at_.nextTieId_ =
        static_cast<std::int16_t>(at_.nextTieId_ + 1 >= kTieIdCount ? 0 : at_.nextTieId_ + 1);
    return id;
}

std::unique_ptr<MeasureDrawInfo> StaffArranger::SetUpMeasure() {
    if (!song_)
        throw std::logic_error("StaffArranger: measure asked for before Start");
    auto measure = std::make_unique<MeasureDrawInfo>(&block_);
    const TimeAndKeySignature& sig = song_->SignatureAtMeasure(at_.measureNumber_);
    measure->signature = sig;
    measure->length = song_->MeasureTicks(sig);
    const std::int32_t numerator = std::max(sig.numerator, 1);
    const std::int32_t perGroup = BeatsPerGroup(numerator);
    measure->ticksPerBeat = std::max(measure->length / numerator, 1);
    measure->beatGroupCount = std::max(numerator / perGroup, 1);
    measure->beatGroupLength = std::max<std::int32_t>(
        static_cast<std::int32_t>(static_cast<std::int64_t>(measure->length) * perGroup /
                                  numerator),
        1);
    measure->startTick = at_.measureStart_;
    measure->measureNumber = at_.measureNumber_;
    measure->clef = placement_.Clef();
    measure->firstMeasureOfSong =
        at_.measureStart_ < song_->MeasureTicks(song_->SignatureAtMeasure(0));
    measure->firstAfterStart = at_.firstAfterStart_;
    measure->timeSigChanged = at_.firstAfterStart_ || sig.numerator != at_.previous_.numerator ||
                              sig.denominator != at_.previous_.denominator;
    measure->keySigChanged =
        at_.firstAfterStart_ || sig.key != at_.previous_.key || sig.mode != at_.previous_.mode;
    accidentals_.Reset(sig.key);
    return measure;
}

void StaffArranger::FinishMeasure(const MeasureDrawInfo& measure) {
    at_.previous_ = measure.signature;
    at_.measureStart_ = ClampTick(static_cast<std::int64_t>(at_.measureStart_) + measure.length);
    ++at_.measureNumber_;
    at_.firstAfterStart_ = false;
}

std::unique_ptr<MeasureDrawInfo> StaffArranger::ArrangeNextMeasure() {
    std::unique_ptr<MeasureDrawInfo> measure = SetUpMeasure();
    BuildItems(*measure);
    beamer_.Beam(*measure, placement_, beamTolerance_, at_.nextBeamId_);
    stems_.SetUnbeamedStems(*measure, placement_);
    FinishMeasure(*measure);
    return measure;
}

std::unique_ptr<MeasureDrawInfo> StaffArranger::ArrangeEmptyMeasure() {
    std::unique_ptr<MeasureDrawInfo> measure = SetUpMeasure();
    const std::int32_t end =
        ClampTick(static_cast<std::int64_t>(at_.measureStart_) + measure->length);
    DrawItemInfoList& column = NewColumn(*measure);
    for (std::int16_t staff = 0; staff < placement_.StaffCount(); ++staff)
        AddRests(*measure, column, staff, at_.measureStart_, end);
    measure->endOfSong = true;
    FinishMeasure(*measure);
    return measure;
}

DrawItemInfoList& StaffArranger::NewColumn(MeasureDrawInfo& measure) {
    measure.columns.emplace_back();
    return measure.columns.back();
}

void StaffArranger::BuildItems(MeasureDrawInfo& measure) {
    const std::int32_t end =
        ClampTick(static_cast<std::int64_t>(at_.measureStart_) + measure.length);
    DrawItemInfoList* column = nullptr;
    std::int32_t previousTime = -1;
    if (!at_.carried_.empty()) {
        column = &NewColumn(measure);
        previousTime = 0;
        PlaceCarried(measure, *column);
    }
    while (!iter_->AtEnd() && iter_->Tick() < end) {
        const std::int32_t time = iter_->Tick() - at_.measureStart_;
        if (!column || previousTime < 0 || time - previousTime > mergeTicks_)
            column = &NewColumn(measure);
        previousTime = time;
        FlushTempos(*column, time);
        do {
            AddMsg(measure, *column, *iter_->Msg(),
                   static_cast<std::int32_t>(iter_->MsgIter().Index()), time);
        } while (iter_->NextMsg());
        iter_->NextPoint();
    }
    DrawItemInfoList* tail = nullptr;
    if (at_.nextTempo_ < tempos_.size() && tempos_[at_.nextTempo_].tick < end) {
        tail = &NewColumn(measure);
        FlushTempos(*tail, measure.length - 1);
    }
    const std::int32_t eighth = std::max(ticksPerQuarter_ / 8, 1);
    for (std::int16_t staff = 0; staff < placement_.StaffCount(); ++staff) {
        const std::int32_t from =
            std::max(at_.staffEnd_[static_cast<std::size_t>(staff)], at_.measureStart_);
        if (end - from >= eighth) {
            if (!tail)
                tail = &NewColumn(measure);
            AddRests(measure, *tail, staff, from, end);
        }
    }
    measure.endOfSong = iter_->AtEnd();
}

void StaffArranger::FlushTempos(DrawItemInfoList& column, std::int32_t upTo) {
    while (at_.nextTempo_ < tempos_.size() &&
           tempos_[at_.nextTempo_].tick - at_.measureStart_ <= upTo) {
        const PendingTempo& tempo = tempos_[at_.nextTempo_++];
        const std::string text = "Tempo " + std::to_string(TempoToBpm(tempo.tempo));
        AddText(column, std::max(tempo.tick - at_.measureStart_, 0), -1, kTextTempo, text);
    }
}

void StaffArranger::PlaceCarried(MeasureDrawInfo& measure, DrawItemInfoList& column) {
    std::vector<CarriedNote> still;
    for (CarriedNote carried : at_.carried_) {
        const std::int32_t part = std::min(carried.remaining, measure.length);
        const std::int32_t left = carried.remaining - part;
        NoteDrawItem* note =
            AddNote(measure, column, carried.pitch, 0, carried.duration, part,
                    static_cast<std::int64_t>(at_.measureStart_) + carried.remaining,
                    carried.velocity, -1, true);
        note->tieEnd = carried.tieId;
        if (left > 0) {
            carried.tieId = NextTieId();
            carried.remaining = left;
            note->tieStart = carried.tieId;
            note->carriedDuration = Bound16(left);
            still.push_back(carried);
        }
    }
    at_.carried_ = std::move(still);
}

void StaffArranger::AddMsg(MeasureDrawInfo& measure, DrawItemInfoList& column, const MidiMsg& msg,
                           std::int32_t msgIndex, std::int32_t time) {
    switch (msg.kind) {
    case kMsgNote: {
        const auto& source = static_cast<const MidiMsgNote&>(msg);
        const std::int32_t duration = std::max(source.duration, 0);
        const std::int32_t room = measure.length - time;
        const std::int32_t part = std::min(duration, room);
        NoteDrawItem* note = AddNote(measure, column, source.key, time, duration, part,
                                     static_cast<std::int64_t>(at_.measureStart_) + time + duration,
                                     source.velocity, msgIndex, false);
        if (duration > room) {
            CarriedNote carried;
            carried.pitch = source.key;
            carried.velocity = source.velocity;
            carried.duration = duration;
            carried.remaining = duration - room;
            carried.tieId = NextTieId();
            note->tieStart = carried.tieId;
            note->carriedDuration = Bound16(carried.remaining);
            at_.carried_.push_back(carried);
        }
        break;
    }
    case kMsgControlChange: {
        const auto& change = static_cast<const MidiMsgControlChange&>(msg);
        const std::size_t controller = change.controller > 127 ? 0 : change.controller;
        // Coarse controllers and pitch bend hold 14-bit values, the others 7-bit ones.
        const bool wide = change.controller == kPitchBend || IsCoarseController(change.controller);
        const std::int8_t on = change.value >= (wide ? 8192 : 64) ? 1 : 0;
        if (on != at_.controllerOn_[controller]) {
            at_.controllerOn_[controller] = on;
            const std::int32_t symbol = controllerSymbol_[controller][static_cast<std::size_t>(on)];
            if (symbol >= 0)
                AddSymbol(column, time, msgIndex, placement_.SystemBottom() + 12, symbol);
        }
        break;
    }
    case kMsgText: {
        const auto& text = static_cast<const MidiMsgText&>(msg);
        const bool shown = (text.textType == kTextPlain && showComments_) ||
                           (text.textType == kTextLyric && showLyrics_) ||
                           (text.textType == kTextTrackName && showTrackName_);
        if (shown)
            AddText(column, time, msgIndex, text.textType, text.text.Displayed());
        else if (text.textType == 7 && text.text.view().starts_with("Audio:"))
            AddSymbol(column, time, msgIndex, placement_.SystemBottom() + 14, kSymbolAudioCue);
        break;
    }
    default:
        break;
    }
}

NoteDrawItem* StaffArranger::AddNote(MeasureDrawInfo& measure, DrawItemInfoList& column,
                                     std::int32_t pitch, std::int32_t time, std::int32_t duration,
                                     std::int32_t partLength, std::int64_t endTick,
                                     std::uint8_t velocity, std::int32_t msgIndex,
                                     bool continuation) {
    const NotePlace place = placement_.Place(pitch, measure.signature.key);
    const std::size_t staff = static_cast<std::size_t>(place.staff);
    const std::int32_t at = at_.measureStart_ + time;
    const std::int32_t gapFrom = std::max(at_.staffEnd_[staff], at_.measureStart_);
    if (at - gapFrom >= std::max(ticksPerQuarter_ / 8, 1))
        AddRests(measure, column, place.staff, gapFrom, at);

    NoteDrawItem* note = AddItem<NoteDrawItem>(column, kItemNote, time, msgIndex);
    note->staff = place.staff;
    note->position = place.position;
    note->ledger = place.ledger;
    note->durationType = DurationType(partLength);
    note->duration = duration;
    note->partLength = partLength;
    note->velocity = velocity;
    note->accidental =
        continuation ? kAccNone
                     : accidentals_.Mark(place.diatonic, place.pitchClass, measure.signature.key);
    measure.shortestType = std::min(measure.shortestType, note->durationType);
    at_.staffEnd_[staff] = std::max(at_.staffEnd_[staff], ClampTick(endTick));
    return note;
}

void StaffArranger::AddRests(MeasureDrawInfo& measure, DrawItemInfoList& column, std::int16_t staff,
                             std::int32_t from, std::int32_t to) {
    const std::int32_t end =
        ClampTick(static_cast<std::int64_t>(at_.measureStart_) + measure.length);
    from = std::max(from, at_.measureStart_);
    to = std::min(to, end);
    const std::int32_t eighth = std::max(ticksPerQuarter_ / 8, 1);
    const std::int64_t groupLength = std::max(measure.beatGroupLength, 1);
    std::int32_t t = from - at_.measureStart_;
    const std::int32_t last = to - at_.measureStart_;
    while (t < last) {
        const std::int64_t boundary = (t / groupLength + 1) * groupLength;
        const std::int32_t segmentEnd =
            static_cast<std::int32_t>(std::min<std::int64_t>(boundary, last));
        const std::int32_t length = segmentEnd - t;
        if (length >= eighth)
            AddRest(column, staff, t, length);
        t = segmentEnd;
    }
    std::int32_t& staffEnd = at_.staffEnd_[static_cast<std::size_t>(staff)];
    staffEnd = std::max(staffEnd, to);
}

void StaffArranger::AddRest(DrawItemInfoList& column, std::int16_t staff, std::int32_t time,
                            std::int32_t length) {
    auto add = [&](std::int32_t at, std::int32_t ticks) {
        RestDrawItem* rest = AddItem<RestDrawItem>(column, kItemRest, at, -1);
        rest->durationType = DurationType(ticks);
        rest->position = placement_.MiddleLine(staff);
        rest->length = ticks;
    };
    const std::int32_t type = DurationType(length);
    if (type == kDurDotted8th || type == kDurDottedQuarter || type == kDurDottedHalf) {
        // Dotted rests read badly: the short part first, then the long one.
        const std::int32_t first = (length + 2) / 3;
        add(time, first);
        add(time + first, 2 * length / 3);
    } else {
        add(time, length);
    }
}

template <class Item>
Item* StaffArranger::AddItem(DrawItemInfoList& column, std::int32_t kind, std::int32_t time,
                             std::int32_t msgIndex) {
    std::pmr::polymorphic_allocator<std::byte> alloc(&block_);
    Item* item = alloc.new_object<Item>();
    item->kind = kind;
    item->time = time;
    item->msgIndex = msgIndex;
    column.push_back(item);
    return item;
}

void StaffArranger::AddText(DrawItemInfoList& column, std::int32_t time, std::int32_t msgIndex,
                            std::int32_t type, std::string_view text) {
    TextDrawItem* item = AddItem<TextDrawItem>(column, kItemText, time, msgIndex);
    item->position = placement_.SystemBottom() + 6;
    item->textType = type;
    // Drawn as a C string: it ends at the first zero byte.
    const std::size_t length =
        std::min(text.find('\0'), std::min(text.size(), TextDrawItem::kMaxText));
    std::memcpy(item->text, text.data(), length);
    item->text[length] = '\0';
}

void StaffArranger::AddSymbol(DrawItemInfoList& column, std::int32_t time, std::int32_t msgIndex,
                              std::int32_t position, std::int32_t symbol) {
    SymbolDrawItem* item = AddItem<SymbolDrawItem>(column, kItemSymbol, time, msgIndex);
    item->position = position;
    item->symbol = symbol;
}
