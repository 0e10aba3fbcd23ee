#include "model/SongDump.h"

#include <cstdio>
#include <string>

#include "model/Song.h"
#include "model/SongIter.h"

namespace {

std::string Format(const char* format, auto... args) {
    char buf[160];
    std::snprintf(buf, sizeof buf, format, args...);
    return buf;
}

} // namespace

std::string EscapeDumpText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
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
        case '\t':
            out += "\\t";
            break;
        default:
            // A terminal must never receive a raw escape sequence or bell from a file.
            if (byte < 0x20 || byte == 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", byte);
                out += hex;
            } else {
                out += c;
            }
        }
    }
    return out;
}

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
               EscapeDumpText(m.text.Displayed()) + "\"";
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

namespace {

void PutRecords(Song& song, const std::function<void(std::string_view)>& put) {
    SongIter it(song);
    std::string line;
    for (bool ok = it.Seek(0); ok; ok = it.Next()) {
        line = std::to_string(it.Tick()) + " " + std::to_string(it.Msg()->track) + " " +
               DumpRecordForm(*it.Msg()) + "\n";
        put(line);
    }
}

} // namespace

std::string DumpRecords(Song& song) {
    std::string out;
    PutRecords(song, [&](std::string_view line) { out += line; });
    return out;
}

void DumpSong(Song& song, const std::function<void(std::string_view)>& put) {
    put("tpq " + std::to_string(song.TicksPerQuarter()) + "\n");
    auto text = [&](const char* name, const SongText& t) {
        if (t.set)
            put(std::string(name) + " " + EscapeDumpText(t.text.Displayed()) + "\n");
    };
    text("title", song.title);
    text("author", song.author);
    text("copyright", song.copyright);
    text("instructions", song.instructions);
    put("device " + EscapeDumpText(song.DeviceFile().Displayed()) + "\n");
    for (std::size_t i = 0; i < song.TempoCount(); ++i) {
        std::int32_t tick = 0, tempo = 0;
        song.GetTempo(i, tick, tempo);
        put(Format("tempo %ld %ld\n", static_cast<long>(tick), static_cast<long>(tempo)));
    }
    for (std::size_t i = 0; i < song.SignatureCount(); ++i) {
        const TimeAndKeySignature& s = *song.GetSignature(i);
        put(Format("sig %ld %ld/%ld %ld %ld\n", static_cast<long>(s.measure),
                   static_cast<long>(s.numerator), static_cast<long>(s.denominator),
                   static_cast<long>(s.key), static_cast<long>(s.mode)));
    }
    for (std::size_t n = 0; n < song.TrackCount(); ++n) {
        const Track& t = *song.GetTrack(n);
        put(Format("track %zu channel %d program %d bank %ld options ", n, t.channel, t.program,
                   static_cast<long>(t.bank)) +
            FormatViewOptions(t.options).str() + "\n");
    }
    for (const MidiMsg* m : song.SongMessages())
        put("songmsg " + DumpRecordForm(*m) + "\n");
    PutRecords(song, put);
}

bool DumpSong(Song& song, std::FILE* out) {
    DumpSong(song, [&](std::string_view line) { std::fwrite(line.data(), 1, line.size(), out); });
    return std::fflush(out) == 0 && !std::ferror(out);
}

std::string DumpSong(Song& song) {
    std::string out;
    DumpSong(song, [&](std::string_view line) { out += line; });
    return out;
}
