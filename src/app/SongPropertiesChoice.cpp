#include "app/SongPropertiesChoice.h"

#include <algorithm>

#include "edit/MC_SongProperties.h"
#include "model/Song.h"

namespace {

constexpr std::int32_t kOffered[] = {48, 72, 96, 120, 144, 168, 192, 216, 240, 360, 384, 480};

} // namespace

SongPropertiesChoice SongPropertiesChoice::From(const Song& song) {
    SongPropertiesChoice c;
    c.title = song.title.text;
    c.author = song.author.text;
    c.copyright = song.copyright.text;
    c.instructions = song.instructions.text;
    c.ticksPerQuarter = song.TicksPerQuarter();
    return c;
}

std::vector<std::int32_t> SongPropertiesChoice::Resolutions(const Song& song) {
    std::vector<std::int32_t> list(std::begin(kOffered), std::end(kOffered));
    if (!Song::IsOfferedResolution(song.TicksPerQuarter()))
        list.insert(std::upper_bound(list.begin(), list.end(), song.TicksPerQuarter()),
                    song.TicksPerQuarter());
    return list;
}

Refusal SongPropertiesChoice::Make(Song& song, std::unique_ptr<CPCommand>& command) const {
    command.reset();
    if (ticksPerQuarter != song.TicksPerQuarter()) {
        if (!Song::IsOfferedResolution(ticksPerQuarter))
            return kNotOffered;
        if (!song.FitsTicksPerQuarter(ticksPerQuarter))
            return kTooLong;
    } else if (title == song.title.text && author == song.author.text &&
               copyright == song.copyright.text && instructions == song.instructions.text) {
        return {};
    }
    command = std::make_unique<MC_SongProperties>(song, title, author, copyright, instructions,
                                                  ticksPerQuarter);
    return {};
}
