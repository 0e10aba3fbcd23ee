#include "midifile/MidiReader.h"

#include <array>
#include <iterator>
#include <numeric>
#include <optional>
#include <system_error>
#include <vector>

#include "midifile/SongExtensions.h"
#include "model/Song.h"
#include "util/RegularFile.h"

namespace {

// ---------------------------------------------------------------------------------------
// The file as it stands.

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), end_(size) {}

    std::size_t Pos() const { return pos_; }
    std::size_t Left() const { return end_ - pos_; }
    bool Seek(std::size_t pos) {
        if (pos > end_)
            return false;
        pos_ = pos;
        return true;
    }
    // Reading stops at `limit` (a chunk's end) as if the data ended there.
    void SetLimit(std::size_t limit) { end_ = limit; }
    std::size_t Limit() const { return end_; }

    bool Byte(std::uint8_t& b) {
        if (pos_ >= end_)
            return false;
        b = data_[pos_++];
        return true;
    }
    bool Back() {
        if (pos_ == 0)
            return false;
        --pos_;
        return true;
    }
    bool U16(std::uint16_t& v) {
        if (Left() < 2)
            return false;
        v = static_cast<std::uint16_t>(data_[pos_] << 8 | data_[pos_ + 1]);
        pos_ += 2;
        return true;
    }
    bool U32(std::uint32_t& v) {
        if (Left() < 4)
            return false;
        v = static_cast<std::uint32_t>(data_[pos_]) << 24 | data_[pos_ + 1] << 16 |
            data_[pos_ + 2] << 8 | data_[pos_ + 3];
        pos_ += 4;
        return true;
    }
    // Seven bits a byte, most significant first. The file format stops at four bytes;
    // a fifth is taken as long as the value fits a song's 31-bit times (our own writer
    // needs it for gaps of more than 2^28 ticks), anything longer is a broken file.
    bool Vlq(std::uint32_t& v) {
        std::uint64_t value = 0;
        for (int i = 0; i < 5; ++i) {
            std::uint8_t b;
            if (!Byte(b))
                return false;
            value = value << 7 | (b & 0x7F);
            if (!(b & 0x80)) {
                if (value > 0x7FFFFFFF)
                    return false;
                v = static_cast<std::uint32_t>(value);
                return true;
            }
        }
        return false;
    }
    // `n` bytes, never more than what is left.
    bool Bytes(std::size_t n, std::vector<std::uint8_t>& out) {
        if (n > Left())
            return false;
        out.assign(data_ + pos_, data_ + pos_ + n);
        pos_ += n;
        return true;
    }
    bool Skip(std::size_t n) {
        if (n > Left())
            return false;
        pos_ += n;
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t pos_ = 0;
    std::size_t end_;
};

constexpr std::uint32_t Tag(const char (&s)[5]) {
    return static_cast<std::uint32_t>(s[0]) << 24 | static_cast<std::uint32_t>(s[1]) << 16 |
           static_cast<std::uint32_t>(s[2]) << 8 | static_cast<std::uint32_t>(s[3]);
}

class StreamParser {
public:
    StreamParser(const std::uint8_t* data, std::size_t size, MidiStream& stream, std::string& error)
        : in_(data, size), stream_(stream), error_(error) {}

    bool Parse();

private:
    bool Fail(const std::string& what) {
        error_ = what + " (at byte " + std::to_string(in_.Pos()) + ")";
        return false;
    }
    bool ReadHeader();
    bool ReadTrack(std::size_t chunkEnd);
    bool ReadEvent(MidiStreamTrack& track, bool& endOfTrack);
    bool ReadMeta(MidiStreamTrack& track, std::int32_t delta, bool& endOfTrack);
    bool DataByte(std::uint8_t& b) {
        if (!in_.Byte(b))
            return Fail("the file ends inside a message");
        if (b & 0x80)
            return Fail("a status byte where a data byte belongs");
        return true;
    }
    // Deltas of events that yield no message move on to the next message, so that
    // nothing after them shifts in time.
    void Add(MidiStreamTrack& track, std::int32_t delta, MidiStreamBody body) {
        track.messages.push_back(
            MidiStreamMessage{static_cast<std::int32_t>(delta + carry_), std::move(body)});
        carry_ = 0;
    }
    void Carry(std::int32_t delta) { carry_ += delta; }

    ByteReader in_;
    MidiStream& stream_;
    std::string& error_;
    std::uint8_t runningStatus_ = 0;
    std::int64_t carry_ = 0;
    // The bank select that a bank LSB may still complete, and the key signature that a
    // mode marker may still complete: each only for the message right after it.
    std::optional<std::size_t> pendingBank_;
    std::optional<std::size_t> lastKeySignature_;
};

bool StreamParser::Parse() {
    if (!ReadHeader())
        return false;
    std::uint16_t announced = 0;
    std::uint16_t division = 0;
    std::uint32_t headerLength = 0;
    std::uint16_t format = 0;
    if (!in_.U32(headerLength) || !in_.U16(format) || !in_.U16(announced) || !in_.U16(division))
        return Fail("the header is cut short");
    if (headerLength < 6)
        return Fail("the header is too short");
    if (!in_.Skip(headerLength - 6))
        return Fail("the header is cut short");
    if (format > 1)
        return Fail("only formats 0 and 1 can be read");
    stream_.format = format;
    if (division & 0x8000) {
        const int frames = -static_cast<std::int8_t>(division >> 8);
        const int ticks = division & 0xFF;
        if ((frames != 24 && frames != 25 && frames != 29 && frames != 30) || ticks == 0)
            return Fail("an unknown time code division");
        stream_.smpteFramesPerSecond = frames;
        stream_.ticksPerFrame = ticks;
    } else {
        if (division == 0)
            return Fail("zero ticks per quarter note");
        stream_.ticksPerQuarter = division;
    }

    // Chunks of other types are skipped, as the file format requires of readers.
    std::size_t tracksRead = 0;
    while (tracksRead < announced) {
        std::uint32_t type = 0, length = 0;
        if (!in_.U32(type) || !in_.U32(length))
            return Fail("the file has fewer tracks than its header announces");
        const std::size_t start = in_.Pos();
        const std::size_t end = start + length;
        if (type != Tag("MTrk")) {
            if (!in_.Seek(end))
                return Fail("a chunk runs past the end of the file");
            continue;
        }
        if (!ReadTrack(end))
            return false;
        ++tracksRead;
    }
    return true;
}

bool StreamParser::ReadHeader() {
    std::uint32_t word = 0;
    if (!in_.U32(word))
        return Fail("the file is empty or too short");
    if (word == Tag("RIFF")) {
        while (word != Tag("MThd"))
            if (!in_.U32(word))
                return Fail("no MIDI data inside the RIFF form");
    }
    if (word != Tag("MThd"))
        return Fail("not a MIDI file");
    return true;
}

bool StreamParser::ReadTrack(std::size_t chunkEnd) {
    MidiStreamTrack& track = stream_.tracks.emplace_back();
    const std::size_t fileEnd = in_.Limit();
    // An event takes at least two bytes; most take three or four.
    track.messages.reserve((std::min(chunkEnd, fileEnd) - in_.Pos()) / 4);
    in_.SetLimit(std::min(chunkEnd, fileEnd));
    pendingBank_.reset();
    lastKeySignature_.reset();
    carry_ = 0;
    bool endOfTrack = false;
    while (!endOfTrack) {
        if (in_.Left() == 0) {
            // A chunk that ends cleanly without its end-of-track event is taken as it is;
            // one cut off by the end of the file is not.
            if (chunkEnd > fileEnd)
                return Fail("the file ends inside a track");
            break;
        }
        if (!ReadEvent(track, endOfTrack))
            return false;
    }
    in_.SetLimit(fileEnd);
    // The next chunk starts where this one's length says, whatever followed the end.
    if (!in_.Seek(std::min(chunkEnd, fileEnd)))
        return Fail("a track runs past the end of the file");
    return true;
}

bool StreamParser::ReadEvent(MidiStreamTrack& track, bool& endOfTrack) {
    std::uint32_t delta = 0;
    if (!in_.Vlq(delta))
        return Fail("a broken delta time");
    const std::optional<std::size_t> bank = pendingBank_;
    const std::optional<std::size_t> key = lastKeySignature_;
    pendingBank_.reset();
    lastKeySignature_.reset();
    if (carry_ + delta > 0x7FFFFFFF)
        return Fail("times beyond what a song can hold");
    const auto d = static_cast<std::int32_t>(delta);

    std::uint8_t status = 0;
    if (!in_.Byte(status))
        return Fail("the file ends inside an event");
    if (status < 0x80) {
        if (runningStatus_ == 0)
            return Fail("a data byte with no status before it");
        in_.Back();
        status = runningStatus_;
    } else if (status < 0xF0) {
        runningStatus_ = status;
    }
    const std::uint8_t ch = status & 0x0F;
    std::uint8_t a = 0, b = 0;
    switch (status & 0xF0) {
    case 0x80:
        if (!DataByte(a) || !DataByte(b))
            return false;
        Add(track, d, MSMNoteOff{ch, a, b});
        return true;
    case 0x90:
        if (!DataByte(a) || !DataByte(b))
            return false;
        if (b == 0)
            Add(track, d, MSMNoteOff{ch, a, 0});
        else
            Add(track, d, MSMNoteOn{ch, a, b});
        return true;
    case 0xA0:
        if (!DataByte(a) || !DataByte(b))
            return false;
        Add(track, d, MSMPolyAfterTouch{ch, a, b});
        return true;
    case 0xB0: {
        if (!in_.Byte(a))
            return Fail("the file ends inside a message");
        if (!DataByte(b))
            return false;
        if (a == 131)
            a = 98;
        else if (a == 133)
            a = 100;
        if (a >= 128) {
            Carry(d); // a controller number no device knows
            return true;
        }
        if (a == 0) {
            pendingBank_ = track.messages.size();
            Add(track, d, MSMBankSelect{ch, b * 128});
        } else if (a == 32) {
            if (bank) {
                auto& select = std::get<MSMBankSelect>(track.messages[*bank].body);
                select.bank += b;
                Carry(d);
            } else {
                Add(track, d, MSMBankSelect{ch, b});
            }
        } else {
            Add(track, d, MSMControlChange{ch, a, b});
        }
        return true;
    }
    case 0xC0:
        if (!DataByte(a))
            return false;
        Add(track, d, MSMProgramChange{ch, a});
        return true;
    case 0xD0:
        if (!DataByte(a))
            return false;
        Add(track, d, MSMChannelAfterTouch{ch, a});
        return true;
    case 0xE0:
        if (!DataByte(a) || !DataByte(b))
            return false;
        Add(track, d, MSMPitchWheel{ch, b * 128 + a});
        return true;
    default:
        break;
    }
    if (status == 0xF0 || status == 0xF7) {
        std::uint32_t length = 0;
        if (!in_.Vlq(length))
            return Fail("a broken system exclusive length");
        std::vector<std::uint8_t> bytes;
        if (!in_.Bytes(length, bytes))
            return Fail("a system exclusive message runs past its track");
        bytes.insert(bytes.begin(), status);
        Add(track, d, MSMSystemExclusive{std::move(bytes)});
        return true;
    }
    if (status == 0xFF) {
        lastKeySignature_ = key;
        return ReadMeta(track, d, endOfTrack);
    }
    return Fail("an undefined status byte");
}

bool StreamParser::ReadMeta(MidiStreamTrack& track, std::int32_t delta, bool& endOfTrack) {
    const std::optional<std::size_t> key = lastKeySignature_;
    lastKeySignature_.reset();
    std::uint8_t type = 0;
    std::uint32_t length = 0;
    if (!in_.Byte(type) || !in_.Vlq(length))
        return Fail("a broken meta event");
    std::vector<std::uint8_t> bytes;
    if (!in_.Bytes(length, bytes))
        return Fail("a meta event runs past its track");
    switch (type) {
    case 0x2F:
        endOfTrack = true;
        return true;
    case 0x51: {
        std::uint32_t value = 0;
        for (std::uint8_t b : bytes)
            value = value << 8 | b;
        Add(track, delta, MSMSetTempo{static_cast<std::int32_t>(value & 0x7FFFFFFF)});
        return true;
    }
    case 0x58: {
        MSMTimeSignature sig;
        if (bytes.size() > 0)
            sig.numerator = bytes[0];
        if (bytes.size() > 1)
            sig.denominator = bytes[1] <= 7 ? static_cast<std::uint8_t>(1 << bytes[1]) : 4;
        if (bytes.size() > 2)
            sig.clocksPerClick = bytes[2];
        if (bytes.size() > 3)
            sig.thirtySecondsPerQuarter = bytes[3];
        Add(track, delta, sig);
        return true;
    }
    case 0x59: {
        MSMKeySignature sig;
        if (bytes.size() > 0)
            sig.key = static_cast<std::int8_t>(bytes[0]);
        if (bytes.size() > 1)
            sig.mode = bytes[1];
        lastKeySignature_ = track.messages.size();
        Add(track, delta, sig);
        return true;
    }
    default:
        break;
    }
    if (type >= 0x01 && type <= 0x07) {
        if (type == 0x06 && key) {
            // The scale-mode marker of the key signature just before it.
            if (bytes.size() == 1)
                std::get<MSMKeySignature>(track.messages[*key].body).mode = bytes[0];
            Carry(delta);
            return true;
        }
        Add(track, delta, MSMText{type, std::string(bytes.begin(), bytes.end())});
        return true;
    }
    Add(track, delta, MSMMiscMetaEvent{type, std::move(bytes)});
    return true;
}

} // namespace

bool MidiReader::ReadBytes(const std::uint8_t* data, std::size_t size, MidiStream& stream,
                           std::string* error) {
    std::string message;
    MidiStream result;
    StreamParser parser(data, size, result, message);
    if (!parser.Parse()) {
        if (error)
            *error = message;
        return false;
    }
    stream = std::move(result);
    return true;
}

FileResult MidiReader::Read(const std::filesystem::path& file, MidiStream& stream) {
    std::string bytes;
    if (FileResult read = RegularFile::ReadAll(file, bytes, kMaxFileBytes); !read)
        return read;
    std::string error;
    if (!ReadBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), stream,
                   &error))
        return FileResult::Refused(file, "Not a MIDI file the program can read: " + error);
    return {};
}
