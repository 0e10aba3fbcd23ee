#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// Hand-made MIDI files for tests, so that each test shows the exact bytes it means.
namespace midibytes {

inline std::string B(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

inline std::string U32(std::uint32_t v) {
    return B({int(v >> 24), int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF)});
}

inline std::string Header(int format, int tracks, int division) {
    return "MThd" + U32(6) +
           B({0, format, tracks >> 8, tracks & 0xFF, division >> 8, division & 0xFF});
}

// A track chunk around `events`, which should end with an end of track.
inline std::string TrackChunk(const std::string& events) {
    return "MTrk" + U32(static_cast<std::uint32_t>(events.size())) + events;
}

inline std::string EndOfTrack(int delta = 0) {
    return B({delta, 0xFF, 0x2F, 0x00});
}

inline std::string Text(int delta, int type, const std::string& text) {
    return B({delta, 0xFF, type, static_cast<int>(text.size())}) + text;
}

} // namespace midibytes
