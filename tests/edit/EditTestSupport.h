#pragma once

#include <memory>
#include <string>

#include "model/Song.h"
#include "model/SongDump.h"
#include "model/SongIter.h"
#include "model/ViewFilter.h"
#include "support/SongBuilder.h"

// A song seen the way a view sees it: its own filter and its own cursor.
struct TestView {
    explicit TestView(Song& s) : song(s), it(s, &filter) {}
    Song& song;
    ViewFilter filter;
    SongIter it;
};

inline std::string Records(Song& song) {
    return DumpRecords(song);
}

// "0:n60/384 384:t1:n62/192 768:cc7=100 ..." : tick, track when not 0, and the record.
inline std::string Brief(Song& song) {
    std::string out;
    SongIter it(song);
    for (bool ok = it.Seek(0); ok; ok = it.Next()) {
        const MidiMsg& m = *it.Msg();
        if (!out.empty())
            out += ' ';
        out += std::to_string(it.Tick()) + ":";
        if (m.track)
            out += "t" + std::to_string(m.track) + ":";
        switch (m.kind) {
        case kMsgNote: {
            const auto& n = static_cast<const MidiMsgNote&>(m);
            out += "n" + std::to_string(n.key) + "/" + std::to_string(n.duration);
            break;
        }
        case kMsgControlChange: {
            const auto& c = static_cast<const MidiMsgControlChange&>(m);
            out += "cc" + std::to_string(c.controller) + "=" + std::to_string(c.value);
            break;
        }
        case kMsgText:
            out += "text=" + static_cast<const MidiMsgText&>(m).text.str();
            break;
        default:
            out += "kind" + std::to_string(m.kind);
        }
    }
    return out;
}

// "TICK:key TICK:key ..." for the notes of a song, in song order.
inline std::string Notes(Song& song) {
    std::string out;
    SongIter it(song);
    for (bool ok = it.Seek(0); ok; ok = it.Next()) {
        if (it.Msg()->kind != kMsgNote)
            continue;
        if (!out.empty())
            out += ' ';
        out += std::to_string(it.Tick()) + ":" +
               std::to_string(static_cast<const MidiMsgNote*>(it.Msg())->key);
    }
    return out;
}
