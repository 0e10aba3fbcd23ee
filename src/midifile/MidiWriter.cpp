#include "midifile/MidiWriter.h"

#include <algorithm>

#include "midifile/SongExtensions.h"
#include "model/Song.h"
#include "model/ViewOptions.h"
#include "util/AtomicFile.h"

// --- MidiTrackWriter ---------------------------------------------------------------

void MidiTrackWriter::Vlq(std::uint32_t value) {
    std::uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    while (n > 1)
        out_ += static_cast<char>(groups[--n] | 0x80);
    out_ += static_cast<char>(groups[0]);
}

void MidiTrackWriter::Bytes(std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes)
        out_ += static_cast<char>(b);
}

void MidiTrackWriter::Delta(std::int32_t delta) {
    delta = std::max(delta, 0);
    Vlq(static_cast<std::uint32_t>(delta));
    now_ += delta;
}

std::int32_t MidiTrackWriter::FlushNoteOffs(std::int32_t delta) {
    const std::int64_t target = now_ + std::max(delta, 0);
    while (!pending_.empty() && pending_.begin()->due <= target) {
        const Pending off = *pending_.begin();
        pending_.erase(pending_.begin());
        pendingByKey_.erase(off.channel * 128 + off.key);
        Delta(static_cast<std::int32_t>(off.due - now_));
        Bytes({static_cast<std::uint8_t>(0x80 | off.channel), off.key, off.velocity});
    }
    return static_cast<std::int32_t>(target - now_);
}

void MidiTrackWriter::ChannelMessage(std::int32_t delta,
                                     std::initializer_list<std::uint8_t> bytes) {
    Delta(FlushNoteOffs(delta));
    Bytes(bytes);
}

void MidiTrackWriter::Text(std::int32_t delta, int type, const std::string& text) {
    Delta(FlushNoteOffs(delta));
    Bytes({0xFF, static_cast<std::uint8_t>(type & 0x7F)});
    Vlq(static_cast<std::uint32_t>(text.size()));
    out_ += text;
}

void MidiTrackWriter::Tempo(std::int32_t delta, std::int32_t microsPerQuarter) {
    const auto value = static_cast<std::uint32_t>(std::max(microsPerQuarter, 0));
    int n = 1;
    while (n < 4 && (value >> (8 * n)) != 0)
        ++n;
    Delta(delta);
    Bytes({0xFF, 0x51, static_cast<std::uint8_t>(n)});
    for (int i = n - 1; i >= 0; --i)
        out_ += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void MidiTrackWriter::TimeSignature(std::int32_t delta, int numerator, int denominator) {
    int power = 0;
    while (power < 7 && (2 << power) <= denominator)
        ++power;
    if (denominator <= 0)
        power = 2;
    Delta(FlushNoteOffs(delta));
    Bytes({0xFF, 0x58, 0x04, static_cast<std::uint8_t>(numerator), static_cast<std::uint8_t>(power),
           0x24, 0x08});
}

void MidiTrackWriter::KeySignature(std::int32_t delta, int key, int mode) {
    Delta(FlushNoteOffs(delta));
    const bool minor = mode == 1 || mode == 2;
    Bytes({0xFF, 0x59, 0x02, static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(minor)});
    // Modes beyond major and minor ride in a one-byte marker right after.
    if (mode > 1)
        Bytes({0x00, 0xFF, 0x06, 0x01, static_cast<std::uint8_t>(mode)});
}

void MidiTrackWriter::Note(std::int32_t delta, const MidiMsgNote& note) {
    const std::uint8_t ch = note.channel & 0x0F;
    const std::uint8_t key = note.key & 0x7F;
    std::int32_t d = FlushNoteOffs(delta);
    // The same key still sounding ends here, before it starts again.
    auto same = pendingByKey_.find(ch * 128 + key);
    if (same != pendingByKey_.end()) {
        const Pending off = *same->second;
        pending_.erase(same->second);
        pendingByKey_.erase(same);
        Delta(d);
        d = 0;
        Bytes({static_cast<std::uint8_t>(0x80 | ch), key, off.velocity});
    }
    // A note without a bank leaves the bank as it is: there is nothing to select.
    if (note.bank >= 0 && note.bank != lastBank_[ch]) {
        Delta(d);
        d = 0;
        Bytes({static_cast<std::uint8_t>(0xB0 | ch), 0x00,
               static_cast<std::uint8_t>((note.bank / 128) % 128)});
        Bytes({0x00, static_cast<std::uint8_t>(0xB0 | ch), 0x20,
               static_cast<std::uint8_t>(note.bank % 128)});
        lastBank_[ch] = note.bank;
    }
    if (note.instrument < 128 && note.instrument != lastProgram_[ch]) {
        Delta(d);
        d = 0;
        Bytes({static_cast<std::uint8_t>(0xC0 | ch), note.instrument});
        lastProgram_[ch] = note.instrument;
    }
    Delta(d);
    // Velocity 0 would read back as a note off: the softest note is 1.
    const auto velocity = static_cast<std::uint8_t>(std::max(1, note.velocity & 0x7F));
    Bytes({static_cast<std::uint8_t>(0x90 | ch), key, velocity});
    const Pending off{now_ + std::max(note.duration, 0), order_++, ch, key,
                      static_cast<std::uint8_t>(note.releaseVelocity & 0x7F)};
    pendingByKey_[ch * 128 + key] = pending_.insert(off).first;
}

void MidiTrackWriter::ControlChange(std::int32_t delta, const MidiMsgControlChange& cc) {
    const std::uint8_t status = 0xB0 | (cc.channel & 0x0F);
    if (cc.controller == kPitchBend) {
        ChannelMessage(delta, {static_cast<std::uint8_t>(0xE0 | (cc.channel & 0x0F)),
                               static_cast<std::uint8_t>(cc.value % 128),
                               static_cast<std::uint8_t>((cc.value / 128) % 128)});
    } else if (IsCoarseController(cc.controller)) {
        ChannelMessage(delta,
                       {status, cc.controller, static_cast<std::uint8_t>((cc.value / 128) & 0x7F)});
        Bytes({0x00, status, static_cast<std::uint8_t>(FinePartner(cc.controller)),
               static_cast<std::uint8_t>(cc.value % 128)});
    } else {
        ChannelMessage(delta, {status, static_cast<std::uint8_t>(cc.controller & 0x7F),
                               static_cast<std::uint8_t>(cc.value & 0x7F)});
    }
}

void MidiTrackWriter::PolyAftertouch(std::int32_t delta, const MidiMsgPolyAftertouch& at) {
    ChannelMessage(delta, {static_cast<std::uint8_t>(0xA0 | (at.channel & 0x0F)),
                           static_cast<std::uint8_t>(at.key & 0x7F),
                           static_cast<std::uint8_t>(at.pressure & 0x7F)});
}

void MidiTrackWriter::ChannelAftertouch(std::int32_t delta, const MidiMsgChannelAftertouch& at) {
    ChannelMessage(delta, {static_cast<std::uint8_t>(0xD0 | (at.channel & 0x0F)),
                           static_cast<std::uint8_t>(at.pressure & 0x7F)});
}

void MidiTrackWriter::SysExclusive(std::int32_t delta, const std::vector<std::uint8_t>& bytes) {
    Delta(FlushNoteOffs(delta));
    const std::uint8_t status = bytes.empty() ? 0xF0 : bytes[0];
    out_ += static_cast<char>(status);
    const std::size_t rest = bytes.empty() ? 0 : bytes.size() - 1;
    Vlq(static_cast<std::uint32_t>(rest));
    if (rest > 0)
        out_.append(reinterpret_cast<const char*>(bytes.data()) + 1, rest);
}

void MidiTrackWriter::OtherMeta(std::int32_t delta, std::uint8_t type,
                                const std::vector<std::uint8_t>& bytes) {
    Delta(FlushNoteOffs(delta));
    Bytes({0xFF, type});
    // A variable-length count, as readers read it, so long events survive whole.
    Vlq(static_cast<std::uint32_t>(bytes.size()));
    out_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void MidiTrackWriter::Record(std::int32_t delta, const MidiMsg& msg) {
    switch (msg.kind) {
    case kMsgControlChange:
        ControlChange(delta, static_cast<const MidiMsgControlChange&>(msg));
        break;
    case kMsgNote:
        Note(delta, static_cast<const MidiMsgNote&>(msg));
        break;
    case kMsgText: {
        const auto& text = static_cast<const MidiMsgText&>(msg);
        Text(delta, text.textType, text.text.str());
        break;
    }
    case kMsgSysExclusive:
        SysExclusive(delta, static_cast<const MidiMsgSysExclusive&>(msg).bytes);
        break;
    case kMsgNSMeta: {
        const auto& meta = static_cast<const MidiMsgNSMetaEvent&>(msg);
        OtherMeta(delta, meta.metaType, meta.bytes);
        break;
    }
    case kMsgPolyAftertouch:
        PolyAftertouch(delta, static_cast<const MidiMsgPolyAftertouch&>(msg));
        break;
    case kMsgChannelAftertouch:
        ChannelAftertouch(delta, static_cast<const MidiMsgChannelAftertouch&>(msg));
        break;
    default:
        break;
    }
}

std::string MidiTrackWriter::Finish() {
    while (!pending_.empty()) {
        const Pending off = *pending_.begin();
        pending_.erase(pending_.begin());
        Delta(static_cast<std::int32_t>(off.due - now_));
        Bytes({static_cast<std::uint8_t>(0x80 | off.channel), off.key, off.velocity});
    }
    pendingByKey_.clear();
    Bytes({0x00, 0xFF, 0x2F, 0x00});
    std::string chunk = "MTrk";
    const auto n = static_cast<std::uint32_t>(out_.size());
    chunk += static_cast<char>(n >> 24);
    chunk += static_cast<char>((n >> 16) & 0xFF);
    chunk += static_cast<char>((n >> 8) & 0xFF);
    chunk += static_cast<char>(n & 0xFF);
    chunk += out_;
    out_.clear();
    return chunk;
}

// --- MidiWriter --------------------------------------------------------------------

namespace {

void WriteSongMessage(MidiTrackWriter& w, const MidiMsg& msg) {
    w.Record(0, msg);
}

std::string ConductorTrack(Song& song) {
    MidiTrackWriter w;
    if (song.title.set)
        w.Text(0, 3, song.title.text.str());
    // Readers take the first plain text as the author and the second as the
    // instructions: instructions without an author need an empty author before them.
    if (song.author.set || song.instructions.set)
        w.Text(0, 1, song.author.text.str());
    if (song.instructions.set)
        w.Text(0, 1, song.instructions.text.str());
    if (song.copyright.set)
        w.Text(0, 2, song.copyright.text.str());
    w.Text(0, kDeviceRecordType, FormatDeviceRecord(song.DeviceFile()).str());
    for (const MidiMsg* msg : song.SongMessages())
        WriteSongMessage(w, *msg);

    const TimeAndKeySignature& first = *song.GetSignature(0);
    w.TimeSignature(0, first.numerator, first.denominator);
    w.KeySignature(0, first.key, first.mode);
    std::int32_t tick = 0, tempo = 0;
    song.GetTempo(0, tick, tempo);
    w.Tempo(0, tempo);

    // The rest of both lists in time order; a tempo goes first at a shared tick.
    std::size_t t = 1, s = 1;
    std::int32_t last = 0;
    while (t < song.TempoCount() || s < song.SignatureCount()) {
        std::int32_t tempoTick = kEndTick, sigTick = kEndTick;
        if (t < song.TempoCount())
            song.GetTempo(t, tempoTick, tempo);
        const TimeAndKeySignature* sig = song.GetSignature(s);
        if (sig)
            sigTick = song.MeasureToTick(sig->measure);
        if (t < song.TempoCount() && tempoTick <= sigTick) {
            w.Tempo(std::max(0, tempoTick - last), tempo);
            last = std::max(last, tempoTick);
            ++t;
        } else {
            w.TimeSignature(std::max(0, sigTick - last), sig->numerator, sig->denominator);
            w.KeySignature(0, sig->key, sig->mode);
            last = std::max(last, sigTick);
            ++s;
        }
    }
    return w.Finish();
}

void AppendU32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

void AppendU16(std::string& out, std::uint32_t v) {
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}

} // namespace

bool MidiWriter::SongBytes(Song& song, std::string& bytes, std::string* error) {
    const std::size_t trackCount = song.TrackCount();
    if (trackCount + 1 > 0xFFFF) {
        if (error)
            *error = "too many tracks for a MIDI file";
        return false;
    }
    const std::int32_t tpq = song.TicksPerQuarter();
    if (tpq < 1 || tpq > 0x7FFF) {
        if (error)
            *error = "a resolution a MIDI file cannot hold";
        return false;
    }
    std::vector<MidiTrackWriter> writers(trackCount);
    std::vector<std::int32_t> lastTick(trackCount, 0);
    for (std::size_t n = 0; n < trackCount; ++n)
        writers[n].Text(0, kOptionsRecordType, FormatViewOptions(song.GetTrack(n)->options).str());
    // One walk through the song hands every record to its track's chunk.
    std::int32_t tick = 0;
    for (auto p = song.Points().Begin(); p != song.Points().End(); ++p) {
        tick += (*p)->delta;
        for (const MidiMsg* msg : (*p)->msgs) {
            if (msg->track >= trackCount)
                continue;
            writers[msg->track].Record(tick - lastTick[msg->track], *msg);
            lastTick[msg->track] = tick;
        }
    }

    bytes = "MThd";
    AppendU32(bytes, 6);
    AppendU16(bytes, 1);
    AppendU16(bytes, static_cast<std::uint32_t>(trackCount + 1));
    AppendU16(bytes, static_cast<std::uint32_t>(tpq));
    bytes += ConductorTrack(song);
    for (MidiTrackWriter& w : writers)
        bytes += w.Finish();
    return true;
}

FileResult MidiWriter::SaveSong(Song& song, const std::filesystem::path& file, bool setName) {
    std::string bytes;
    std::string error;
    if (!SongBytes(song, bytes, &error))
        return FileResult::Refused(file, "The song cannot be written as a MIDI file: " + error);
    if (FileResult written = AtomicFile::Replace(file, bytes); !written)
        return written;
    if (setName)
        song.fileName = AString(file.string());
    return {};
}
