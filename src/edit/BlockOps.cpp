#include "edit/BlockOps.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "edit/Clipboard.h"
#include "edit/EditSupport.h"
#include "edit/PointCursor.h"
#include "model/ViewFilter.h"

namespace {

bool HasChannel(const MidiMsg& msg) {
    return msg.kind == kMsgControlChange || msg.kind == kMsgNote ||
           msg.kind == kMsgPolyAftertouch || msg.kind == kMsgChannelAftertouch;
}

void EnsureTrack(Song& song, std::uint16_t track) {
    while (song.TrackCount() <= track)
        song.AddTrack(kNoChannel, kNoProgram, kNoBank);
}

// Removes the records from `from` to `to` that pass the filter (all of them without
// one); points left empty go.
void RemoveMatching(Song& song, const ViewFilter* filter, std::int32_t from, std::int32_t to) {
    SongTimeIter it(song);
    it.Seek(from);
    while (!it.AtEnd() && it.Tick() <= to) {
        SongTimePoint& point = *it.Point();
        for (std::size_t i = 0; i < point.msgs.Count();) {
            if (!filter || filter->Matches(*point.msgs[i]))
                song.RemoveFromPoint(point, i);
            else
                ++i;
        }
        if (point.msgs.IsEmpty())
            it.RemovePoint();
        else
            it.Next();
    }
}

void Place(Song& song, MidiMsg& msg, const PasteTarget& target) {
    switch (target.placement) {
    case TrackPlacement::ForceCurrent:
        msg.track = target.track;
        if (HasChannel(msg))
            msg.channel = target.channel;
        if (msg.kind == kMsgNote) {
            auto& note = static_cast<MidiMsgNote&>(msg);
            note.instrument = target.program;
            note.bank = target.bank;
        }
        break;
    case TrackPlacement::AssignByChannel:
        if (HasChannel(msg))
            msg.track =
                song.FindTrack(msg.channel, msg.kind == kMsgNote ? msg.instrument : kNoProgram);
        break;
    case TrackPlacement::Keep:
        break;
    }
}

// One paste at the song's resolution; Insert has opened the span already.
void PasteOne(SongIter& it, std::int32_t at, PasteMethod method, const PasteTarget& target,
              const BlockCopy& source) {
    Song& song = *it.GetSong();
    if (method == PasteMethod::WriteOver && source.length > 0) {
        const ViewFilter* filter =
            target.placement == TrackPlacement::AssignByChannel ? nullptr : it.Filter();
        RemoveMatching(song, filter, at, at + source.length - 1);
    }
    PointCursor cursor(song);
    SongTimeIter from(*source.song);
    for (; !from.AtEnd(); from.Next()) {
        for (const MidiMsg* m : from.Point()->msgs) {
            std::unique_ptr<MidiMsg> msg = m->Copy();
            Place(song, *msg, target);
            RecordTrackUse(song, *msg);
            cursor.Add(at + from.Tick(), std::move(msg));
        }
    }
}

// value * to / from, rounded to the nearest tick, an exact half rounding down.
std::int32_t ScaleRound(std::int64_t value, std::int64_t to, std::int64_t from) {
    const std::int64_t product = value * to;
    std::int64_t result = product / from;
    if ((product % from) * 2 > from)
        ++result;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(result, 0, kEndTick));
}

} // namespace

void RecordTrackUse(Song& song, const MidiMsg& msg) {
    EnsureTrack(song, msg.track);
    Track& track = *song.GetTrack(msg.track);
    bool changed = false;
    if (HasChannel(msg) && track.channel == kNoChannel) {
        track.channel = msg.channel;
        changed = true;
    }
    if (msg.kind == kMsgNote && track.program == kNoProgram) {
        track.program = msg.instrument;
        track.bank = static_cast<const MidiMsgNote&>(msg).bank;
        changed = true;
    }
    if (changed)
        song.InvalidateTrackLookup();
}

// --- copy, cut, clear -----------------------------------------------------------------

std::unique_ptr<BlockCopy> BlockOps::Copy(SongIter& it, std::int32_t from, std::int32_t to,
                                          bool relative) {
    if (to < from)
        return nullptr;
    Song& source = *it.GetSong();
    auto copy = std::make_unique<BlockCopy>();
    copy->song = std::make_unique<Song>();
    Song& target = *copy->song;
    target.SetTicksPerQuarter(source.TicksPerQuarter());

    bool ok = it.Seek(from);
    const std::int32_t start = !relative && ok && it.Tick() <= to ? it.Tick() : from;
    int highestTrack = -1;
    for (; ok && it.Tick() <= to; ok = it.NextPoint()) {
        const std::int32_t rel = it.Tick() - start;
        auto node = target.InsertPointBefore(target.Points().End(),
                                             rel - (target.PointCount() ? target.LastTick() : 0));
        do {
            const MidiMsg& msg = *it.Msg();
            (*node)->msgs.Add(msg.Copy());
            highestTrack = std::max<int>(highestTrack, msg.track);
        } while (it.NextMsg());
    }
    for (int n = 0; n <= highestTrack; ++n) {
        std::uint8_t channel, program;
        std::int32_t bank;
        source.GetTrackProperties(static_cast<std::size_t>(n), channel, program, bank);
        target.AddTrack(channel, program, bank);
    }
    // All of time from 0 is one tick longer than a length can be.
    copy->length =
        static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{to} - start + 1, kEndTick));
    return copy;
}

void BlockOps::CopyToClipboard(SongIter& it, std::int32_t from, std::int32_t to, bool relative) {
    if (auto copy = Copy(it, from, to, relative))
        Clipboard::Set(std::move(copy));
}

void BlockOps::Cut(SongIter& it, std::int32_t from, std::int32_t to) {
    // There is no time before 0 to take out.
    from = std::max(from, 0);
    if (to < from)
        return;
    CopyToClipboard(it, from, to, true);
    DeleteSpace(it, from, to - from + 1);
}

std::unique_ptr<BlockCopy> BlockOps::Clear(SongIter& it, std::int32_t from, std::int32_t to) {
    auto removed = Copy(it, from, to, true);
    if (removed)
        RemoveMatching(*it.GetSong(), it.Filter(), from, to);
    return removed;
}

// --- time ----------------------------------------------------------------------------

bool BlockOps::HasRoom(const Song& song, std::int32_t at, std::int64_t length) {
    return song.PointCount() == 0 || song.LastTick() < at ||
           std::int64_t{song.LastTick()} + length <= kEndTick;
}

bool BlockOps::InsertSpace(Song& song, std::int32_t at, std::int32_t length) {
    if (length <= 0 || !HasRoom(song, at, length))
        return false;
    ShiftFrom(song, at, length);
    return true;
}

void BlockOps::DeleteSpace(SongIter& it, std::int32_t at, std::int32_t length) {
    if (length <= 0 || at < 0)
        return;
    Song& song = *it.GetSong();
    const std::int32_t end =
        static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{at} + length - 1, kEndTick));
    // Records the filter hides cannot be deleted with the time they stood in; they are
    // gathered at the start of the span instead.
    std::vector<std::unique_ptr<MidiMsg>> hidden;
    {
        SongTimeIter t(song);
        t.Seek(at);
        while (!t.AtEnd() && t.Tick() <= end) {
            SongTimePoint& point = *t.Point();
            const bool first = t.Tick() == at;
            for (std::size_t i = 0; i < point.msgs.Count();) {
                if (it.Matches(*point.msgs[i]))
                    song.RemoveFromPoint(point, i);
                else if (!first)
                    hidden.push_back(song.DetachFromPoint(point, i));
                else
                    ++i;
            }
            if (point.msgs.IsEmpty())
                t.RemovePoint();
            else
                t.Next();
        }
    }
    if (!hidden.empty()) {
        PointCursor cursor(song);
        for (auto& msg : hidden)
            cursor.Add(at, std::move(msg));
    }
    if (end < kEndTick) {
        ShiftFrom(song, end + 1, -length);
        MergeAt(song, at);
    }
}

// --- paste ---------------------------------------------------------------------------

std::int32_t BlockOps::PasteSpan(std::int32_t length, std::int32_t copies, std::int32_t space) {
    if (copies <= 0 || length <= 0)
        return 0;
    std::int64_t slot = std::int64_t{length} + space;
    if (slot <= 0) {
        if (copies > 1)
            return 0;
        slot = length;
    }
    const std::int64_t span = (copies - 1) * slot + std::max<std::int64_t>(length, slot);
    return span > kEndTick ? 0 : static_cast<std::int32_t>(span);
}

void BlockOps::Paste(SongIter& it, std::int32_t at, PasteMethod method, const PasteTarget& target,
                     const BlockCopy& source) {
    PasteCopies(it, at, method, target, source, 1, 0);
}

std::int32_t BlockOps::PasteCopies(SongIter& it, std::int32_t at, PasteMethod method,
                                   const PasteTarget& target, const BlockCopy& source,
                                   std::int32_t copies, std::int32_t space) {
    Song& song = *it.GetSong();
    std::unique_ptr<BlockCopy> converted;
    const BlockCopy* src = &source;
    if (source.TicksPerQuarter() != song.TicksPerQuarter()) {
        converted = source.ConvertedTo(song.TicksPerQuarter());
        src = converted.get();
    }
    const std::int32_t span = PasteSpan(src->length, copies, space);
    if (span == 0 || at < 0 || std::int64_t{at} + span > kEndTick)
        return 0;
    std::int64_t slot = std::int64_t{src->length} + space;
    if (slot <= 0)
        slot = src->length;
    if (method == PasteMethod::Insert) {
        // The whole span opens once; the copies then fill empty time.
        if (!InsertSpace(song, at, span))
            return 0;
        method = PasteMethod::Mix;
    }
    for (std::int32_t k = 0; k < copies; ++k)
        PasteOne(it, static_cast<std::int32_t>(at + k * slot), method, target, *src);
    it.Seek(at);
    return span;
}

// --- notes ---------------------------------------------------------------------------

void BlockOps::Transpose(SongIter& it, std::int32_t from, std::int32_t to, int semitones) {
    for (bool ok = it.Seek(from); ok && it.Tick() <= to; ok = it.Next()) {
        MidiMsg* msg = it.Msg();
        if (msg->kind != kMsgNote)
            continue;
        auto& note = static_cast<MidiMsgNote&>(*msg);
        note.key = static_cast<std::uint8_t>(std::clamp(note.key + semitones, 0, 127));
    }
}

void BlockOps::SetProperties(SongIter& it, std::int32_t from, std::int32_t to,
                             const SelectionProps& props) {
    const int start = props.startVelocity;
    int end = props.endVelocity;
    if (start != kUnchanged && end != kUnchanged && (to == from || start == end))
        end = kUnchanged;
    for (bool ok = it.Seek(from); ok && it.Tick() <= to; ok = it.Next()) {
        MidiMsg* msg = it.Msg();
        if (msg->kind != kMsgNote)
            continue;
        auto& note = static_cast<MidiMsgNote&>(*msg);
        if (start != kUnchanged) {
            std::int64_t velocity = start;
            if (end != kUnchanged)
                velocity += std::int64_t{it.Tick() - from} * (end - start) / (to - from);
            if (velocity < 1)
                velocity = 0;
            note.velocity = static_cast<std::uint8_t>(std::min<std::int64_t>(velocity, 127));
        }
        if (props.program != kUnchanged) {
            note.instrument = static_cast<std::uint8_t>(props.program);
            note.bank = props.bank;
        }
        if (props.channel != kUnchanged)
            note.channel = static_cast<std::uint8_t>(props.channel);
    }
}

// --- quantize and fit to time --------------------------------------------------------

std::int32_t BlockOps::RoundToGrid(std::int32_t value, std::int32_t grid) {
    if (grid <= 0)
        return value;
    std::int32_t rounded = value / grid * grid;
    if (value % grid > grid / 2)
        rounded += grid;
    return rounded;
}

std::int32_t BlockOps::RoundDuration(std::int32_t duration, std::int32_t grid) {
    const std::int32_t rounded = RoundToGrid(duration, grid);
    return rounded == 0 ? grid : rounded;
}

void BlockOps::Quantize(SongIter& it, std::int32_t from, std::int32_t to, std::int32_t grid,
                        bool alignBeginnings, bool alignDurations) {
    if (grid <= 0 || to < from)
        return;
    Song& song = *it.GetSong();
    struct Held {
        MidiMsgNote* note;
        std::int32_t start;
    };
    std::vector<Held> held;
    std::vector<MidiMsgNote*> here;
    std::int64_t moved = 0; // how far the points still to come have moved
    bool ok = it.Seek(from);
    while (ok && it.Tick() - moved <= to) {
        here.clear();
        for (MidiMsg* m : it.Point()->msgs)
            if (m->kind == kMsgNote && it.Matches(*m))
                here.push_back(static_cast<MidiMsgNote*>(m));
        if (alignDurations)
            for (MidiMsgNote* note : here)
                note->duration = RoundDuration(note->duration, grid);

        std::int32_t tick = it.Tick();
        if (alignBeginnings) {
            auto node = it.TimeIter().GetNode();
            const bool firstPoint = node == song.Points().Begin();
            const std::int32_t previous = firstPoint ? 0 : tick - (*node)->delta;
            // A point never passes the one before it; reaching it, the two become one.
            const std::int32_t target = std::max(RoundToGrid(tick, grid), previous);
            if (target != tick) {
                song.ShiftPoints(node, tick, target - tick);
                moved += target - tick;
                tick = target;
                if (!firstPoint && target == previous) {
                    it.TimeIter().Prev();
                    MergeInto(song, it.TimeIter());
                    it.MsgIter().Attach(it.Point());
                }
            }
        }
        // Notes still sounding from earlier points end where the same pitch starts again.
        std::erase_if(held, [&](const Held& h) {
            if (h.start >= tick)
                return false;
            if (h.start + std::int64_t{h.note->duration} <= tick)
                return true;
            for (const MidiMsg* m : it.Point()->msgs) {
                if (m->kind != kMsgNote || !it.Matches(*m))
                    continue;
                const auto* other = static_cast<const MidiMsgNote*>(m);
                if (other->key == h.note->key && other->channel == h.note->channel) {
                    h.note->duration = tick - h.start;
                    return true;
                }
            }
            return false;
        });
        for (MidiMsgNote* note : here)
            held.push_back({note, tick});
        ok = it.NextPoint();
    }
}

std::int32_t BlockOps::RangeLength(SongIter& it, std::int32_t from, std::int32_t to) {
    std::int32_t lastTick = -1;
    std::int32_t longest = 0;
    for (bool ok = it.Seek(from); ok && it.Tick() <= to; ok = it.Next()) {
        if (it.Tick() != lastTick) {
            lastTick = it.Tick();
            longest = 0;
        }
        longest = std::max(longest, it.Msg()->duration);
    }
    const std::int32_t tail = lastTick == to ? std::max(longest, 1) : 1;
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(std::int64_t{to} - from + tail, kEndTick));
}

void BlockOps::FitToTime(SongIter& it, std::int32_t from, std::int32_t to, std::int32_t newLength,
                         bool moveRest) {
    if (to < from || newLength <= 0)
        return;
    Song& song = *it.GetSong();
    const std::int32_t oldLength = RangeLength(it, from, to);
    if (newLength == oldLength || oldLength <= 0)
        return;
    // Nothing may be pushed past the last tick there is.
    if (std::int64_t{from} + newLength > kEndTick ||
        (moveRest && newLength > oldLength && !HasRoom(song, from, newLength - oldLength)))
        return;

    // Take every record of the range out, with its new time.
    std::vector<std::pair<std::int32_t, std::unique_ptr<MidiMsg>>> taken;
    std::int32_t before = -1; // tick of the last point before the range
    {
        SongTimeIter t(song);
        t.Seek(from);
        SongTimeIter previous(t);
        if (previous.Prev())
            before = previous.Tick();
        while (!t.AtEnd() && t.Tick() <= to) {
            const std::int32_t tick =
                from + ScaleRound(std::int64_t{t.Tick()} - from, newLength, oldLength);
            SongTimePoint& point = *t.Point();
            while (!point.msgs.IsEmpty()) {
                std::unique_ptr<MidiMsg> msg = song.DetachFromPoint(point, 0);
                // Every note in the stretched time, shown or not, keeps its length in
                // step with it.
                if (msg->kind == kMsgNote)
                    msg->duration =
                        std::max<std::int32_t>(1, ScaleRound(msg->duration, newLength, oldLength));
                taken.emplace_back(tick, std::move(msg));
            }
            t.RemovePoint();
        }
    }
    if (moveRest) {
        SongTimeIter rest(song);
        rest.Seek(from);
        if (!rest.AtEnd()) {
            // Shrinking never pulls the rest past what lies before the range.
            const std::int64_t room = std::int64_t{rest.Tick()} - (before + 1);
            const std::int64_t shift =
                std::max<std::int64_t>(std::int64_t{newLength} - oldLength, -room);
            song.ShiftPoints(rest.GetNode(), rest.Tick(), static_cast<std::int32_t>(shift));
        }
    }
    PointCursor cursor(song);
    for (auto& [tick, msg] : taken)
        cursor.Add(tick, std::move(msg));
    it.Seek(from);
}
