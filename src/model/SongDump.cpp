#include "model/SongDump.h"

#include <cstdio>
#include <string>

#include "model/Song.h"
#include "model/SongIter.h"

namespace {

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Format(const char* format, auto... args) {
    char buf[160];
    std::snprintf(buf, sizeof buf, format, args...);
    return buf;
}

} // namespace

std::string DumpRecordForm(const MidiMsg& msg) {
    switch (msg.kind) {
    case kMsgControlChange: {
        const auto& m = static_cast<const MidiMsgControlChange&>(msg);
        return Format("cc ch=%d ctl=%d val=%d", m.channel, m.controller, m.value);
    }
    case kMsgNote: {
        const auto& m = static_cast<const MidiMsgNote&>(msg);
        return Format("note ch=%d key=%d vel=%d rel=%d dur=%ld prog=%d bank=%ld", m.channel, m.key,
                      m.velocity, m.releaseVelocity, static_cast<long>(m.duration), m.instrument,
                      static_cast<long>(m.bank));
    }
    case kMsgText: {
        const auto& m = static_cast<const MidiMsgText&>(msg);
        return Format("text type=%ld ", static_cast<long>(m.textType)) + "\"" +
               Escape(m.text.str()) + "\"";
    }
    case kMsgSysExclusive:
        return Format("sysex len=%zu", static_cast<const MidiMsgSysExclusive&>(msg).bytes.size());
    case kMsgNSMeta: {
        const auto& m = static_cast<const MidiMsgNSMetaEvent&>(msg);
        return Format("meta type=%d len=%zu", m.metaType, m.bytes.size());
    }
    case kMsgPolyAftertouch: {
        const auto& m = static_cast<const MidiMsgPolyAftertouch&>(msg);
        return Format("polyat ch=%d key=%d val=%d", m.channel, m.key, m.pressure);
    }
    case kMsgChannelAftertouch: {
        const auto& m = static_cast<const MidiMsgChannelAftertouch&>(msg);
        return Format("chanat ch=%d val=%d", m.channel, m.pressure);
    }
    default:
        return Format("unknown kind=%d", msg.kind);
    }
}

std::string DumpRecords(Song& song) {
    std::string out;
    SongIter it(song);
    for (bool ok = it.Seek(0); ok; ok = it.Next()) {
        out += std::to_string(it.Tick()) + " " + std::to_string(it.Msg()->track) + " " +
               DumpRecordForm(*it.Msg()) + "\n";
    }
    return out;
}

std::string DumpSong(Song& song) {
    std::string out = "tpq " + std::to_string(song.TicksPerQuarter()) + "\n";
    auto text = [&](const char* name, const SongText& t) {
        if (t.set)
            out += std::string(name) + " " + Escape(t.text.str()) + "\n";
    };
    text("title", song.title);
    text("author", song.author);
    text("copyright", song.copyright);
    text("instructions", song.instructions);
    out += "device " + song.DeviceFile().str() + "\n";
    for (std::size_t i = 0; i < song.TempoCount(); ++i) {
        std::int32_t tick = 0, tempo = 0;
        song.GetTempo(i, tick, tempo);
        out += Format("tempo %ld %ld\n", static_cast<long>(tick), static_cast<long>(tempo));
    }
    for (std::size_t i = 0; i < song.SignatureCount(); ++i) {
        const TimeAndKeySignature& s = *song.GetSignature(i);
        out += Format("sig %ld %ld/%ld %ld %ld\n", static_cast<long>(s.measure),
                      static_cast<long>(s.numerator), static_cast<long>(s.denominator),
                      static_cast<long>(s.key), static_cast<long>(s.mode));
    }
    for (std::size_t n = 0; n < song.TrackCount(); ++n) {
        const Track& t = *song.GetTrack(n);
        out += Format("track %zu channel %d program %d bank %ld options ", n, t.channel, t.program,
                      static_cast<long>(t.bank)) +
               FormatViewOptions(t.options).str() + "\n";
    }
    for (const MidiMsg* m : song.SongMessages())
        out += "songmsg " + DumpRecordForm(*m) + "\n";
    out += DumpRecords(song);
    return out;
}
