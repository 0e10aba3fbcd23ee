#include "edit/TypedTime.h"

namespace {

constexpr const char* kPrefix = "Cannot accept time value:\n\n";

AString Number(std::int64_t n) {
    return AString::FromInt(static_cast<long>(n));
}

} // namespace

std::int32_t TypedTime::SongEnd(const Song& song) {
    const MusicalTime last = song.TickToMusicalTime(song.LastTick());
    return song.MeasureToTick(last.measure + 1);
}

Refusal TypedTime::ToTick(const Song& song, const MusicalTime& time, std::int32_t& tick,
                          Reach reach) {
    if (time.measure < 0 || time.beat < 0 || time.tick < 0)
        return AString(kPrefix) + "Bars and beats count from 1, ticks from 0.";
    const TimeAndKeySignature& sig = song.SignatureAtMeasure(time.measure);
    const std::int32_t beats = std::max(1, sig.numerator);
    const std::int32_t beatTicks = song.MeasureTicks(sig) / beats;
    if (time.beat >= beats)
        return AString(kPrefix) + "Bar " + Number(time.measure + 1) + " has " + Number(beats) +
               (beats == 1 ? " beat." : " beats.");
    if (time.tick >= beatTicks)
        return AString(kPrefix) + "A beat of bar " + Number(time.measure + 1) + " has " +
               Number(beatTicks) + " ticks (0 to " + Number(beatTicks - 1) + ").";
    std::int32_t at = 0;
    if (!song.MusicalTimeToTick(time, at))
        return AString(kPrefix) + "The time lies beyond the last tick a song can hold.";
    if (reach == Reach::WithinSong) {
        const std::int32_t end = SongEnd(song);
        if (at > end)
            return AString(kPrefix) + "The song ends at " +
                   FormatMusicalTime(song.TickToMusicalTime(end)) + ".";
    }
    tick = at;
    return {};
}
