#include "edit/BlockCopy.h"

#include <algorithm>

std::unique_ptr<Song> CloneSongEvents(Song& source) {
    auto song = std::make_unique<Song>();
    song->SetTicksPerQuarter(source.TicksPerQuarter());
    for (std::size_t n = 0; n < source.TrackCount(); ++n) {
        const Track& t = *source.GetTrack(n);
        song->AddTrack(t.channel, t.program, t.bank);
    }
    auto& points = source.Points();
    for (auto p = points.Begin(); p != points.End(); ++p) {
        auto node = song->InsertPointBefore(song->Points().End(), (*p)->delta);
        for (const MidiMsg* m : (*p)->msgs)
            (*node)->msgs.Add(m->Copy());
    }
    return song;
}

std::unique_ptr<BlockCopy> BlockCopy::Clone() const {
    auto copy = std::make_unique<BlockCopy>();
    copy->song = CloneSongEvents(*song);
    copy->length = length;
    return copy;
}

std::unique_ptr<BlockCopy> BlockCopy::ConvertedTo(std::int32_t ticksPerQuarter) const {
    auto copy = Clone();
    const std::int32_t from = TicksPerQuarter();
    if (from == ticksPerQuarter || !copy->song->SetTicksPerQuarter(ticksPerQuarter))
        return copy;
    const auto scaled =
        static_cast<std::int32_t>(static_cast<std::int64_t>(length) * ticksPerQuarter / from);
    // Truncation may not leave the last event outside the span.
    const std::int32_t last = copy->song->PointCount() ? copy->song->LastTick() + 1 : 0;
    copy->length = std::max(scaled, last);
    return copy;
}
