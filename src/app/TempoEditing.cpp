#include "app/TempoEditing.h"

#include "edit/MC_SetTempo.h"
#include "model/MidiMsg.h"
#include "model/MusicalTime.h"
#include "model/Song.h"
#include "model/TimeTexts.h"

std::vector<AString> TempoEditing::ListLines() const {
    std::vector<AString> lines;
    for (std::size_t i = 0; i < song_.TempoCount(); ++i)
        lines.push_back(TempoListLine(song_, i));
    return lines;
}

TempoEditing::Fields TempoEditing::Open(long index, std::int32_t tick,
                                        std::optional<Message>& notice) const {
    notice.reset();
    std::int32_t tempo = kDefaultTempo;
    if (index >= 0 && !song_.GetTempo(static_cast<std::size_t>(index), tick, tempo))
        tick = 0;
    else if (index < 0)
        tempo = song_.TempoAt(tick);
    if (tempo <= 0) {
        notice = Message{kAppTitle, kZeroTempo, MessageIcon::Information, MessageButtons::Ok};
        tempo = kDefaultTempo;
    }
    Fields fields;
    fields.time = FormatMusicalTime(song_.TickToMusicalTime(std::max(tick, 0)));
    fields.bpm = TempoToBpm(tempo);
    return fields;
}

Refusal TempoEditing::ReadTime(const AString& text, std::int32_t& tick) const {
    MusicalTime time;
    if (!ParseMusicalTime(text, time))
        return Refusal(kNotATime, MessageIcon::Stop);
    if (!TypedPositionToTick(song_, time, tick))
        return Refusal(kNoSuchTime, MessageIcon::Stop);
    return {};
}

Refusal TempoEditing::Make(long index, const Fields& fields,
                           std::unique_ptr<CPCommand>& command) const {
    command.reset();
    if (fields.bpm < kMinBpm || fields.bpm > kMaxBpm)
        return Refusal(kBpmRange, MessageIcon::Stop);
    const std::int32_t tempo = BpmToTempo(fields.bpm);
    const bool existing = index >= 0 && static_cast<std::size_t>(index) < song_.TempoCount();
    if (!existing) {
        std::int32_t tick = 0;
        if (Refusal r = ReadTime(fields.time, tick))
            return r;
        command = std::make_unique<MC_SetTempo>(song_, MC_SetTempo::kNewEntry, tick, tempo);
        return {};
    }
    const auto at = static_cast<std::size_t>(index);
    std::int32_t oldTick = 0, oldTempo = 0;
    song_.GetTempo(at, oldTick, oldTempo);
    std::int32_t tick = 0;
    if (at > 0) {
        if (Refusal r = ReadTime(fields.time, tick))
            return r;
        std::int32_t previous = 0, unused = 0;
        song_.GetTempo(at - 1, previous, unused);
        if (tick <= previous)
            return Refusal(kBeforePrevious, MessageIcon::Stop);
        std::int32_t next = 0;
        const bool hasNext = song_.GetTempo(at + 1, next, unused);
        const bool moveLater = fields.moveLater && tick != oldTick;
        // Passing the next entry would leave the list out of order.
        if (hasNext && !moveLater && tick >= next)
            return Refusal(kAfterNext, MessageIcon::Stop);
        if (moveLater) {
            std::int32_t last = 0;
            song_.GetTempo(song_.TempoCount() - 1, last, unused);
            if (std::int64_t{last} + tick - oldTick > kEndTick)
                return Refusal(kNoSuchTime, MessageIcon::Stop);
        }
    }
    if (tick == oldTick && tempo == oldTempo)
        return {}; // nothing to change
    command = std::make_unique<MC_SetTempo>(song_, index, tick, tempo, fields.moveLater && at > 0);
    return {};
}
