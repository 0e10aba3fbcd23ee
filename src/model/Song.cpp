#include "model/Song.h"

#include <algorithm>
#include <stdexcept>

#include "model/SongIter.h"

namespace {

std::int64_t Rescale(std::int32_t value, std::int32_t to, std::int32_t from) {
    return static_cast<std::int64_t>(value) * to / from;
}

bool IsTick(std::int64_t value) {
    return value >= -kEndTick && value <= kEndTick;
}

// Past the last point, a new point or a shift may not carry the song beyond kEndTick.
void CheckLength(std::int64_t length) {
    if (length > kEndTick)
        throw std::invalid_argument("Song: a time point past the last tick");
}

} // namespace

Song::Song() : cursor_(points_.End()) {
    signatures_.Add(std::make_unique<TimeAndKeySignature>());
    tempos_.Add(std::make_unique<SongTempo>());
    deviceFile_ = DefaultDeviceFileName();
    device_ = LoadSongDevice(deviceFile_);
}

Song::~Song() {
    for (SongIter* it : iters_)
        it->msg_.Attach(nullptr);
    for (SongTimeIter* it : timeIters_)
        it->Detach();
}

// --- registry ----------------------------------------------------------------------

void Song::Register(SongTimeIter* it) {
    timeIters_.push_back(it);
}

void Song::Unregister(SongTimeIter* it) {
    std::erase(timeIters_, it);
}

void Song::Register(SongIter* it) {
    iters_.push_back(it);
}

void Song::Unregister(SongIter* it) {
    std::erase(iters_, it);
}

// A cursor past the last point reports the song's length.
void Song::SyncEndCursors() {
    for (SongTimeIter* it : timeIters_)
        if (it->node_ == points_.End())
            it->tick_ = LastTick();
}

void Song::AfterRecordRemoved(const SongTimePoint& point, long index) {
    for (SongIter* it : iters_)
        if (it->msg_.Point() == &point && it->msg_.Index() >= index)
            it->msg_.SetIndex(it->msg_.Index() - 1);
}

void Song::AfterRecordInserted(const SongTimePoint& point, long index) {
    for (SongIter* it : iters_)
        if (it->msg_.Point() == &point && it->msg_.Index() >= index)
            it->msg_.SetIndex(it->msg_.Index() + 1);
}

void Song::RecomputeCursorTicks() {
    for (SongTimeIter* it : timeIters_)
        it->tick_ = TickOf(it->node_);
    RewindInsertion();
}

// --- structure ----------------------------------------------------------------------

Song::Node Song::InsertPointBefore(Node where, std::int32_t delta) {
    if (delta < 0)
        throw std::invalid_argument("Song: negative delta for a new time point");
    if (where == points_.End()) {
        CheckLength(std::int64_t{LastTick()} + delta);
        Node n = points_.AddTail(std::make_unique<SongTimePoint>(delta));
        index_.Link(n);
        SyncEndCursors();
        return n;
    }
    if (delta > (*where)->delta)
        throw std::invalid_argument("Song: a new time point may not pass the next one");
    Node n = points_.InsertBefore(where, std::make_unique<SongTimePoint>(delta));
    index_.Link(n);
    return n;
}

Song::Node Song::RemovePoint(Node where) {
    if (where == points_.End())
        throw std::logic_error("Song: removing past the last time point");
    SongTimePoint* point = where->get();
    const std::int32_t delta = point->delta;
    Node next = std::next(where);
    const bool hasNext = next != points_.End();

    for (SongTimeIter* it : timeIters_) {
        if (it->node_ != where)
            continue;
        it->node_ = next;
        it->tick_ = hasNext ? it->tick_ + (*next)->delta : LastTick() - delta;
    }
    for (SongIter* it : iters_) {
        if (it->msg_.Point() == point) {
            it->msg_.Attach(hasNext ? next->get() : nullptr);
            it->msg_.SetIndex(-1);
        }
    }
    bool rewind = false;
    if (cursor_ == where) {
        if (hasNext) {
            cursor_ = next;
            cursorTick_ += (*next)->delta;
        } else {
            rewind = true;
        }
    }
    index_.Unlink(where);
    Node after = points_.Remove(where);
    if (!hasNext)
        SyncEndCursors();
    if (rewind)
        RewindInsertion();
    return after;
}

void Song::AddToPoint(SongTimePoint& point, std::unique_ptr<MidiMsg> msg) {
    SongTimePoint::AddResult result = point.Add(std::move(msg));
    if (result.removedIndex >= 0)
        AfterRecordRemoved(point, result.removedIndex);
    if (result.insertedIndex >= 0)
        AfterRecordInserted(point, result.insertedIndex);
}

void Song::RemoveFromPoint(SongTimePoint& point, std::size_t index) {
    DetachFromPoint(point, index);
}

std::unique_ptr<MidiMsg> Song::DetachFromPoint(SongTimePoint& point, std::size_t index) {
    std::unique_ptr<MidiMsg> msg = point.msgs.Detach(index);
    AfterRecordRemoved(point, static_cast<long>(index));
    return msg;
}

void Song::InsertIntoPoint(SongTimePoint& point, std::size_t index, std::unique_ptr<MidiMsg> msg) {
    point.msgs.Insert(index, std::move(msg));
    AfterRecordInserted(point, static_cast<long>(index));
}

void Song::ReplacePointMsgs(SongTimePoint& point, std::vector<std::unique_ptr<MidiMsg>> msgs) {
    point.msgs.Clear();
    for (auto& m : msgs)
        point.msgs.Add(std::move(m));
    const long count = static_cast<long>(point.msgs.Count());
    for (SongIter* it : iters_)
        if (it->msg_.Point() == &point && it->msg_.Index() >= count)
            it->msg_.SetIndex(count - 1);
}

void Song::ShiftPoints(Node where, std::int32_t from, std::int32_t amount) {
    if (where == points_.End() || amount == 0)
        return;
    if (std::int64_t{(*where)->delta} + amount < 0)
        throw std::invalid_argument("Song: a point may not pass the one before it");
    CheckLength(std::int64_t{LastTick()} + amount);
    const std::int32_t delta = (*where)->delta;
    if (index_.SetDelta(where, delta + amount) != std::int64_t{from} + amount) {
        index_.SetDelta(where, delta);
        throw std::logic_error("Song: shifting from a tick the point is not at");
    }
    for (SongTimeIter* it : timeIters_) {
        if (it->node_ == points_.End())
            it->tick_ = LastTick();
        else if (it->tick_ > from || it->node_ == where)
            it->tick_ += amount;
        else if (it->tick_ == from) // points sharing a tick may lie either side of `where`
            it->tick_ = TickOf(it->node_);
    }
    RewindInsertion();
}

std::int32_t Song::TickOf(Node node) const {
    return node == points_.End() ? LastTick() : index_.TickOf(node);
}

// --- events -------------------------------------------------------------------------

void Song::RewindInsertion() {
    cursor_ = points_.Begin();
    cursorTick_ = points_.IsEmpty() ? 0 : (*cursor_)->delta;
}

void Song::AddMsg(std::int32_t tick, std::unique_ptr<MidiMsg> msg) {
    if (tick < 0)
        throw std::invalid_argument("Song: negative tick");
    if (points_.IsEmpty() || tick > LastTick()) {
        cursor_ = InsertPointBefore(points_.End(), tick - LastTick());
        cursorTick_ = tick;
        AddToPoint(**cursor_, std::move(msg));
        return;
    }
    // Records in time order land at the cursor or a few points on; a tick further away
    // or behind it is looked up.
    constexpr int kWalk = 8;
    bool found = false;
    if (cursor_ != points_.End() && tick > cursorTick_ - (*cursor_)->delta) {
        for (int step = 0; step < kWalk && !found; ++step) {
            found = tick <= cursorTick_;
            if (!found) // tick <= LastTick(): there is a next point
                cursorTick_ += (*++cursor_)->delta;
        }
    }
    if (!found)
        cursor_ = index_.Seek(tick, cursorTick_);
    if (tick < cursorTick_) {
        cursor_ = InsertPointBefore(cursor_, tick - (cursorTick_ - (*cursor_)->delta));
        cursorTick_ = tick;
    }
    AddToPoint(**cursor_, std::move(msg));
}

// --- tracks -------------------------------------------------------------------------

std::size_t Song::AddTrack(std::uint8_t channel, std::uint8_t program, std::int32_t bank) {
    auto track = std::make_unique<Track>();
    track->channel = channel;
    track->program = program;
    track->bank = bank;
    tracks_.Add(std::move(track));
    trackLookupBuilt_ = false;
    return tracks_.Count() - 1;
}

void Song::InsertTrack(std::size_t n, const Track& track) {
    tracks_.Insert(std::min(n, tracks_.Count()), std::make_unique<Track>(track));
    trackLookupBuilt_ = false;
}

void Song::GetTrackProperties(std::size_t n, std::uint8_t& channel, std::uint8_t& program,
                              std::int32_t& bank) const {
    if (const Track* t = GetTrack(n)) {
        channel = t->channel;
        program = t->program;
        bank = t->bank;
    } else {
        channel = kNoChannel;
        program = kNoProgram;
        bank = kNoBank;
    }
}

void Song::SetTrackProperties(std::size_t n, std::uint8_t channel, std::uint8_t program,
                              std::int32_t bank) {
    Track* track = GetTrack(n);
    if (!track)
        return;
    if (channel != kNoChannel)
        track->channel = channel;
    if (program != kNoProgram) {
        track->program = program;
        track->bank = bank;
    }
    for (Node p = points_.Begin(); p != points_.End(); ++p) {
        for (MidiMsg* m : (*p)->msgs) {
            if (m->track != n)
                continue;
            if (channel != kNoChannel)
                m->channel = channel;
            if (program != kNoProgram && m->kind == kMsgNote) {
                auto* note = static_cast<MidiMsgNote*>(m);
                note->instrument = program;
                note->bank = bank;
            }
        }
    }
    trackLookupBuilt_ = false;
}

void Song::DeleteTrack(std::size_t n) {
    if (n >= tracks_.Count())
        return;
    for (Node p = points_.Begin(); p != points_.End();) {
        SongTimePoint& point = **p;
        for (std::size_t i = 0; i < point.msgs.Count();) {
            MidiMsg* m = point.msgs[i];
            if (m->track == n) {
                RemoveFromPoint(point, i);
                continue;
            }
            if (m->track > n)
                --m->track;
            ++i;
        }
        p = point.msgs.IsEmpty() ? RemovePoint(p) : std::next(p);
    }
    tracks_.Remove(n);
    trackLookupBuilt_ = false;
}

bool Song::TracksConsistent() const {
    const std::size_t count = tracks_.Count();
    std::vector<int> channel(count, -1), program(count, -1);
    for (auto p = points_.Begin(); p != points_.End(); ++p) {
        for (const MidiMsg* m : (*p)->msgs) {
            if (m->track >= count || m->kind == kMsgText || m->kind == kMsgSysExclusive ||
                m->kind == kMsgNSMeta)
                continue;
            int& ch = channel[m->track];
            if (ch == -1)
                ch = m->channel;
            else if (ch != m->channel)
                return false;
            if (m->kind == kMsgNote) {
                int& pr = program[m->track];
                if (pr == -1)
                    pr = m->instrument;
                else if (pr != m->instrument)
                    return false;
            }
        }
    }
    return true;
}

std::uint16_t Song::FindTrack(std::uint8_t channel, std::uint8_t program) {
    constexpr std::uint16_t kNone = 65535;
    channel &= 0x0F;
    if (!trackLookupBuilt_) {
        for (auto& row : trackLookup_)
            row.fill(kNone);
        const std::size_t count = std::min<std::size_t>(tracks_.Count(), kNone);
        for (std::size_t t = 0; t < count; ++t) {
            const Track& tr = *tracks_[t];
            if (tr.channel < 16 && tr.program < 128)
                trackLookup_[tr.program][tr.channel] = static_cast<std::uint16_t>(t);
        }
        for (std::size_t t = 0; t < count; ++t) {
            const Track& tr = *tracks_[t];
            if (tr.program < 128 && tr.channel >= 16)
                for (auto& cell : trackLookup_[tr.program])
                    if (cell == kNone)
                        cell = static_cast<std::uint16_t>(t);
        }
        for (std::size_t t = 0; t < count; ++t) {
            const Track& tr = *tracks_[t];
            if (tr.channel < 16 && tr.program >= 128)
                for (auto& row : trackLookup_)
                    if (row[tr.channel] == kNone)
                        row[tr.channel] = static_cast<std::uint16_t>(t);
        }
        trackLookupBuilt_ = true;
    }
    if (program >= 128) {
        for (auto& row : trackLookup_)
            if (row[channel] != kNone)
                return row[channel];
    } else if (trackLookup_[program][channel] != kNone) {
        return trackLookup_[program][channel];
    }
    const auto track = static_cast<std::uint16_t>(AddTrack(channel, program, kNoBank));
    // AddTrack invalidated the table; it is still right apart from the new cell.
    trackLookupBuilt_ = true;
    if (program < 128)
        trackLookup_[program][channel] = track;
    else
        for (auto& row : trackLookup_)
            if (row[channel] == kNone)
                row[channel] = track;
    return track;
}

// --- resolution ---------------------------------------------------------------------

bool Song::IsOfferedResolution(std::int32_t ticks) {
    static constexpr std::int32_t kOffered[] = {48,  72,  96,  120, 144, 168,
                                                192, 216, 240, 360, 384, 480};
    return std::find(std::begin(kOffered), std::end(kOffered), ticks) != std::end(kOffered);
}

bool Song::SetTicksPerQuarter(std::int32_t ticks) {
    if (ticks < 1 || ticks > 32767)
        return false;
    const std::int32_t old = ticksPerQuarter_;
    if (ticks == old)
        return true;
    for (Node p = points_.Begin(); p != points_.End(); ++p)
        for (const MidiMsg* m : (*p)->msgs)
            if (!IsTick(Rescale(m->duration, ticks, old)))
                return false;
    for (const SongTempo* t : tempos_)
        if (!IsTick(Rescale(t->tick, ticks, old)))
            return false;
    if (Rescale(LastTick(), ticks, old) > kEndTick)
        return false;
    for (Node p = points_.Begin(); p != points_.End(); ++p)
        for (MidiMsg* m : (*p)->msgs)
            m->duration = static_cast<std::int32_t>(Rescale(m->duration, ticks, old));
    // Each point's own tick is rescaled, not its distance from the one before: rounding
    // every distance would let the music drift off its beats over a long song.
    std::int32_t oldTick = 0;
    std::int64_t newTick = 0;
    index_.SetAllDeltas([&](std::int32_t delta) {
        oldTick += delta;
        const std::int64_t scaled = Rescale(oldTick, ticks, old);
        const auto newDelta = static_cast<std::int32_t>(scaled - newTick);
        newTick = scaled;
        return newDelta;
    });
    // Points a coarser resolution puts on one tick become one point, the earlier
    // point's records first.
    for (Node p = points_.Begin(); p != points_.End();) {
        Node next = std::next(p);
        if (next == points_.End())
            break;
        if ((*next)->delta != 0) {
            p = next;
            continue;
        }
        SongTimePoint& into = **p;
        while (!(*next)->msgs.IsEmpty())
            InsertIntoPoint(into, into.msgs.Count(), DetachFromPoint(**next, 0));
        RemovePoint(next);
    }
    // Tempo changes sit at ticks; they move with the music.
    for (SongTempo* t : tempos_)
        t->tick = static_cast<std::int32_t>(Rescale(t->tick, ticks, old));
    ticksPerQuarter_ = ticks;
    RecomputeCursorTicks();
    return true;
}

// --- tempo list ---------------------------------------------------------------------

std::int32_t Song::FirstTempo() {
    tempoCursor_ = 0;
    return tempos_[0]->tempo;
}

bool Song::NextTempo(std::int32_t& tick, std::int32_t& tempo) {
    if (tempoCursor_ + 1 >= tempos_.Count())
        return false;
    ++tempoCursor_;
    tick = tempos_[tempoCursor_]->tick;
    tempo = tempos_[tempoCursor_]->tempo;
    return true;
}

std::int32_t Song::TempoAt(std::int32_t tick) {
    std::size_t i = 0;
    while (i + 1 < tempos_.Count() && tempos_[i + 1]->tick <= tick)
        ++i;
    tempoCursor_ = i;
    return tempos_[i]->tempo;
}

std::size_t Song::SetTempo(std::int32_t tick, std::int32_t tempo) {
    std::size_t i = 0;
    for (; i < tempos_.Count(); ++i) {
        if (tempos_[i]->tick == tick) {
            tempos_[i]->tempo = tempo;
            return i;
        }
        if (tempos_[i]->tick > tick)
            break;
    }
    tempos_.Insert(i, std::make_unique<SongTempo>(SongTempo{tick, tempo}));
    return i;
}

void Song::SetTempoByIndex(std::size_t index, std::int32_t tick, std::int32_t tempo) {
    SongTempo* t = tempos_.At(index);
    t->tick = tick;
    t->tempo = tempo;
}

bool Song::GetTempo(std::size_t index, std::int32_t& tick, std::int32_t& tempo) const {
    if (index >= tempos_.Count())
        return false;
    tick = tempos_[index]->tick;
    tempo = tempos_[index]->tempo;
    return true;
}

bool Song::RemoveTempo(std::size_t index) {
    if (index == 0 || index >= tempos_.Count())
        return false;
    tempos_.Remove(index);
    tempoCursor_ = 0;
    return true;
}

std::vector<SongTempo> Song::Tempos() const {
    std::vector<SongTempo> list;
    for (const SongTempo* t : tempos_)
        list.push_back(*t);
    return list;
}

bool Song::ReplaceTempos(const std::vector<SongTempo>& tempos) {
    if (tempos.empty() || tempos.front().tick != 0)
        return false;
    tempos_.Clear();
    for (const SongTempo& t : tempos)
        tempos_.Add(std::make_unique<SongTempo>(t));
    tempoCursor_ = 0;
    return true;
}

// --- signatures ---------------------------------------------------------------------

std::size_t Song::SetSignature(std::int32_t measure, std::int32_t numerator,
                               std::int32_t denominator, std::int32_t key, std::int32_t mode) {
    TimeAndKeySignature before; // 4/4, C major when nothing precedes
    std::size_t i = 0;
    for (; i < signatures_.Count(); ++i) {
        TimeAndKeySignature& s = *signatures_[i];
        if (s.measure == measure) {
            if (numerator != kKeepTime) {
                s.numerator = numerator;
                s.denominator = denominator;
            }
            if (key > kKeepKey) {
                s.key = key;
                s.mode = mode;
            }
            return i;
        }
        if (s.measure > measure)
            break;
        before = s;
    }
    auto entry = std::make_unique<TimeAndKeySignature>(before);
    entry->measure = measure;
    if (numerator != kKeepTime) {
        entry->numerator = numerator;
        entry->denominator = denominator;
    }
    if (key > kKeepKey) {
        entry->key = key;
        entry->mode = mode;
    }
    signatures_.Insert(i, std::move(entry));
    return i;
}

const TimeAndKeySignature* Song::FirstSignature() {
    signatureCursor_ = 0;
    return signatures_[0];
}

const TimeAndKeySignature* Song::NextSignature() {
    if (signatureCursor_ + 1 >= signatures_.Count())
        return nullptr;
    return signatures_[++signatureCursor_];
}

const TimeAndKeySignature* Song::GetSignature(std::size_t index) const {
    return index < signatures_.Count() ? signatures_[index] : nullptr;
}

TimeAndKeySignature* Song::GetSignatureForEdit(std::size_t index) const {
    return index < signatures_.Count() ? signatures_[index] : nullptr;
}

bool Song::RemoveSignature(std::size_t index) {
    if (index == 0 || index >= signatures_.Count())
        return false;
    signatures_.Remove(index);
    signatureCursor_ = 0;
    return true;
}

std::vector<TimeAndKeySignature> Song::Signatures() const {
    std::vector<TimeAndKeySignature> list;
    for (const TimeAndKeySignature* sig : signatures_)
        list.push_back(*sig);
    return list;
}

bool Song::ReplaceSignatures(const std::vector<TimeAndKeySignature>& signatures) {
    if (signatures.empty() || signatures.front().measure != 0)
        return false;
    signatures_.Clear();
    for (const TimeAndKeySignature& sig : signatures)
        signatures_.Add(std::make_unique<TimeAndKeySignature>(sig));
    signatureCursor_ = 0;
    return true;
}

const TimeAndKeySignature& Song::SignatureAtMeasure(std::int32_t measure) const {
    std::size_t i = 0;
    while (i + 1 < signatures_.Count() && signatures_[i + 1]->measure <= measure)
        ++i;
    return *signatures_[i];
}

// --- musical time -------------------------------------------------------------------

std::int32_t Song::MeasureTicks(const TimeAndKeySignature& sig) const {
    if (sig.denominator <= 0 || sig.numerator <= 0)
        return ticksPerQuarter_ * 4;
    double ticks = static_cast<double>(sig.numerator) / sig.denominator * ticksPerQuarter_ * 4;
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(ticks));
}

MusicalTime Song::TickToMusicalTime(std::int32_t tick, std::int32_t* tickInMeasure) const {
    tick = std::max(tick, 0);
    std::size_t i = 0;
    while (i + 1 < signatures_.Count()) {
        const std::int64_t span =
            static_cast<std::int64_t>(signatures_[i + 1]->measure - signatures_[i]->measure) *
            MeasureTicks(*signatures_[i]);
        if (tick < span)
            break;
        tick -= static_cast<std::int32_t>(span);
        ++i;
    }
    const TimeAndKeySignature& sig = *signatures_[i];
    const std::int32_t mt = MeasureTicks(sig);
    const std::int32_t beatTicks = std::max(1, mt / std::max(1, sig.numerator));
    MusicalTime result;
    result.measure = sig.measure + tick / mt;
    const std::int32_t r = tick % mt;
    result.beat = r / beatTicks;
    result.tick = r % beatTicks;
    if (tickInMeasure)
        *tickInMeasure = result.beat * beatTicks + result.tick;
    return result;
}

bool Song::MusicalTimeToTick(const MusicalTime& time, std::int32_t& tick) const {
    if (time.measure < 0 || time.beat < 0 || time.tick < 0)
        return false;
    std::int64_t acc = 0;
    std::size_t i = 0;
    while (i + 1 < signatures_.Count() && time.measure >= signatures_[i + 1]->measure) {
        acc += static_cast<std::int64_t>(signatures_[i + 1]->measure - signatures_[i]->measure) *
               MeasureTicks(*signatures_[i]);
        ++i;
    }
    const TimeAndKeySignature& sig = *signatures_[i];
    const std::int32_t num = std::max(1, sig.numerator);
    const std::int32_t den = sig.denominator > 0 ? sig.denominator : 4;
    const std::int64_t mt = static_cast<std::int64_t>(ticksPerQuarter_) * 4 * num / den;
    if (time.beat >= num || time.tick >= mt / num)
        return false;
    acc += (time.measure - sig.measure) * mt + time.beat * (mt / num) + time.tick;
    if (acc > kEndTick)
        return false;
    tick = static_cast<std::int32_t>(acc);
    return true;
}

std::int32_t Song::MeasureToTick(std::int32_t measure) const {
    std::int32_t tick = 0;
    MusicalTimeToTick(MusicalTime{std::max(measure, 0), 0, 0}, tick);
    return tick;
}

// --- device -------------------------------------------------------------------------

void Song::SetDeviceFile(const AString& name) {
    deviceFile_ = name;
    device_ = LoadSongDevice(name);
}
