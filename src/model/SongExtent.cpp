#include "model/SongExtent.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "model/MidiMsg.h"
#include "model/Song.h"
#include "util/INIFile.h"

SongExtent SongExtent::Of(Song& song) {
    SongExtent extent;
    std::int64_t tick = 0;
    for (auto p = song.Points().Begin(); p != song.Points().End(); ++p) {
        tick += (*p)->delta;
        extent.endTick = std::max(extent.endTick, tick);
        for (const MidiMsg* msg : (*p)->msgs)
            if (msg->kind == kMsgNote)
                extent.endTick = std::max<std::int64_t>(
                    extent.endTick,
                    tick + std::max(static_cast<const MidiMsgNote*>(msg)->duration, 0));
    }
    // The measure that holds the last tick before the end. Measures past the last tick a
    // song can hold continue at the last signature.
    constexpr std::int64_t kLastTick = std::numeric_limits<std::int32_t>::max();
    const std::int64_t last = std::max<std::int64_t>(extent.endTick - 1, 0);
    const std::int64_t inRange = std::min(last, kLastTick);
    std::int32_t inMeasure = 0;
    const MusicalTime at = song.TickToMusicalTime(static_cast<std::int32_t>(inRange), &inMeasure);
    const std::int64_t lastLength =
        std::max(song.MeasureTicks(song.SignatureAtMeasure(at.measure)), 1);
    extent.measures = at.measure + 1 + (last - inRange) / lastLength;

    const long double perQuarter = std::max(song.TicksPerQuarter(), 1);
    long double micros = 0;
    std::int64_t from = 0;
    std::int32_t tempo = kDefaultTempo;
    for (std::size_t i = 0; i < song.TempoCount(); ++i) {
        std::int32_t change = 0, value = 0;
        if (!song.GetTempo(i, change, value) || change > extent.endTick)
            break;
        micros += (change - from) * static_cast<long double>(tempo) / perQuarter;
        from = change;
        tempo = value;
    }
    micros += (extent.endTick - from) * static_cast<long double>(tempo) / perQuarter;
    extent.seconds = static_cast<double>(micros / 1e6L);
    return extent;
}

long SongExtent::RenderHourLimit() {
    INIFile* ini = INIFile::Global();
    return ini ? ini->ReadInt(kRenderLimitKey, kDefaultRenderHours) : kDefaultRenderHours;
}

std::string SongExtent::RenderRefusal(long maxHours) const {
    if (seconds <= maxHours * 3600.0)
        return {};
    char hours[64];
    std::snprintf(hours, sizeof hours, "%.1f", seconds / 3600.0);
    return "Cannot render this song:\n\nIt lasts " + std::string(hours) + " hours; the limit is " +
           std::to_string(maxHours) + " hours (setting \"" + kRenderLimitKey + "\").";
}
