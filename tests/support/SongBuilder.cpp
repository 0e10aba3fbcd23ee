#include "support/SongBuilder.h"

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

int Number(const std::string& text) {
    std::size_t used = 0;
    int value = std::stoi(text, &used);
    if (used != text.size())
        throw std::invalid_argument("SongBuilder: bad number '" + text + "'");
    return value;
}

bool Prefixed(const std::string& token, const char* prefix, std::string& rest) {
    const std::string p = prefix;
    if (token.compare(0, p.size(), p) != 0)
        return false;
    rest = token.substr(p.size());
    return true;
}

} // namespace

void AddToSong(Song& song, const std::string& text) {
    std::stringstream entries(text);
    std::string entry;
    while (std::getline(entries, entry, ',')) {
        std::stringstream tokens(entry);
        std::string token;
        if (!(tokens >> token))
            continue;
        const int tick = Number(token);
        int track = 0, channel = 0, velocity = 100, program = 0, bank = -1;
        song.RewindInsertion();
        auto place = [&](std::unique_ptr<MidiMsg> msg) {
            msg->track = static_cast<std::uint16_t>(track);
            while (song.TrackCount() <= static_cast<std::size_t>(track))
                song.AddTrack(kNoChannel, kNoProgram, kNoBank);
            song.AddMsg(tick, std::move(msg));
        };
        std::string rest;
        while (tokens >> token) {
            if (Prefixed(token, "cc", rest)) {
                const auto eq = rest.find('=');
                place(std::make_unique<MidiMsgControlChange>(channel, Number(rest.substr(0, eq)),
                                                             Number(rest.substr(eq + 1))));
            } else if (Prefixed(token, "cat", rest)) {
                place(std::make_unique<MidiMsgChannelAftertouch>(channel, Number(rest)));
            } else if (Prefixed(token, "bend", rest)) {
                place(std::make_unique<MidiMsgControlChange>(channel, kPitchBend, Number(rest)));
            } else if (Prefixed(token, "text", rest)) {
                const auto eq = rest.find('=');
                place(std::make_unique<MidiMsgText>(Number(rest.substr(0, eq)),
                                                    AString(rest.substr(eq + 1))));
            } else if (Prefixed(token, "at", rest)) {
                const auto eq = rest.find('=');
                place(std::make_unique<MidiMsgPolyAftertouch>(channel, Number(rest.substr(0, eq)),
                                                              Number(rest.substr(eq + 1))));
            } else if (Prefixed(token, "n", rest)) {
                std::string duration;
                if (!(tokens >> duration))
                    throw std::invalid_argument("SongBuilder: note without duration");
                place(std::make_unique<MidiMsgNote>(channel, Number(rest), velocity,
                                                    Number(duration), program, bank));
            } else if (Prefixed(token, "t", rest)) {
                track = Number(rest);
            } else if (Prefixed(token, "c", rest)) {
                channel = Number(rest);
            } else if (Prefixed(token, "v", rest)) {
                velocity = Number(rest);
            } else if (Prefixed(token, "p", rest)) {
                program = Number(rest);
            } else if (Prefixed(token, "b", rest)) {
                bank = Number(rest);
            } else {
                throw std::invalid_argument("SongBuilder: unknown item '" + token + "'");
            }
        }
    }
}

std::unique_ptr<Song> BuildSong(const std::string& text, int ticksPerQuarter) {
    auto song = std::make_unique<Song>();
    song->SetTicksPerQuarter(ticksPerQuarter);
    AddToSong(*song, text);
    return song;
}
