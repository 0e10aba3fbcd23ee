// Building a song from a file's structure: the conductor track gives the tempo map,
// signatures and song properties; every other track becomes a song track.
#include <array>
#include <numeric>
#include <queue>
#include <system_error>

#include "midifile/MidiReader.h"
#include "midifile/SongExtensions.h"
#include "model/Song.h"
#include "model/ViewOptions.h"

namespace {

constexpr std::int64_t kMaxTick = 0x7FFFFFFE;

template <class T> const T* As(const MidiStreamMessage& m) {
    return std::get_if<T>(&m.body);
}

bool IsChannelEvent(const MidiStreamMessage& m) {
    switch (m.Kind()) {
    case 8:  // note on
    case 9:  // note off
    case 11: // poly aftertouch
    case 12: // channel aftertouch
    case 13: // pitch wheel
    case 14: // control change
        return true;
    default:
        return false;
    }
}

bool IsTextLike(const MidiStreamMessage& m) {
    return m.Kind() == 7 || m.Kind() == 16 || m.Kind() == 3;
}

// A measure position kept exactly: whole measures and a fraction of the measure.
class MeasureClock {
public:
    void SetMeasure(std::int64_t ticksPerQuarter, int numerator, int denominator) {
        // A measure lasts tpq * 4 * num / den ticks: a delta is delta * den / (tpq*4*num)
        // measures.
        num_ = denominator;
        den_ = ticksPerQuarter * 4 * numerator;
    }
    void Advance(std::int64_t delta) {
        if (delta == 0 || den_ <= 0)
            return;
        // fraction + delta * num_ / den_, carried into whole measures.
        const std::int64_t addN = delta * num_;
        const std::int64_t whole = addN / den_;
        measure_ += whole;
        std::int64_t n = fracN_ * den_ + (addN - whole * den_) * fracD_;
        std::int64_t d = fracD_ * den_;
        const std::int64_t g = std::gcd(n, d);
        if (g > 1) {
            n /= g;
            d /= g;
        }
        measure_ += n / d;
        n %= d;
        // Many different measure lengths could grow the denominator without bound; past
        // a limit the fraction is kept in ticks of the current measure instead.
        if (d > (std::int64_t{1} << 40)) {
            n = static_cast<std::int64_t>(static_cast<long double>(n) * den_ / d);
            d = den_;
        }
        fracN_ = n;
        fracD_ = d;
    }
    std::int64_t Measure() const { return measure_; }

private:
    std::int64_t measure_ = 0;
    std::int64_t fracN_ = 0, fracD_ = 1;
    std::int64_t num_ = 1, den_ = 1;
};

class SongAssembler {
public:
    SongAssembler(const MidiStream& stream, Song& song, std::string& error)
        : stream_(stream), song_(song), error_(error) {}

    bool Build();

private:
    bool Fail(const std::string& what) {
        error_ = what;
        return false;
    }
    bool SetResolution();
    bool ReadConductor(const MidiStreamTrack& track, bool singleTrack, bool conductorIsTrack);
    // `conductor`: only what the conductor pass left (channel events, timed texts).
    bool ReadTrack(const MidiStreamTrack& track, bool conductor);
    void PlaceRecords();
    void TakeText(std::int64_t tick, const MSMText& text, bool singleTrack, bool conductorIsTrack,
                  int& plainTextsAtZero, bool& deviceSeen);

    const MidiStream& stream_;
    Song& song_;
    std::string& error_;
    bool smpte_ = false;
    // Records of all tracks, track after track; they enter the song in one ordered pass
    // at the end, which keeps each tick's records in the order the tracks gave them.
    struct Placed {
        std::int32_t tick;
        std::unique_ptr<MidiMsg> msg;
    };
    std::vector<Placed> placed_;
    std::vector<std::size_t> segments_; // where each track's records start in placed_
};

bool SongAssembler::SetResolution() {
    if (stream_.ticksPerQuarter > 0)
        return song_.SetTicksPerQuarter(stream_.ticksPerQuarter) || Fail("an unusable resolution");
    // Time code: one quarter note of our own per second at 60 beats per minute, with as
    // many ticks as the file has per second (29.97 frames counted as 30 and the second
    // stretched to match).
    smpte_ = true;
    const int frames = stream_.smpteFramesPerSecond == 29 ? 30 : stream_.smpteFramesPerSecond;
    if (frames <= 0 || stream_.ticksPerFrame <= 0)
        return Fail("no usable division");
    if (!song_.SetTicksPerQuarter(frames * stream_.ticksPerFrame))
        return Fail("an unusable time code division");
    song_.SetTempo(0, stream_.smpteFramesPerSecond == 29 ? 1001001 : 1000000);
    return true;
}

void SongAssembler::TakeText(std::int64_t tick, const MSMText& text, bool singleTrack,
                             bool conductorIsTrack, int& plainTextsAtZero, bool& deviceSeen) {
    if (tick == 0) {
        AString device;
        if (text.type == 1 && !deviceSeen && ParseDeviceRecord(text.text, device)) {
            deviceSeen = true;
            std::error_code ec;
            if (std::filesystem::is_regular_file(DeviceFilePath(device), ec))
                song_.SetDeviceFile(device);
            return;
        }
        if (text.type == 1 && plainTextsAtZero < 2) {
            (plainTextsAtZero++ == 0 ? song_.author : song_.instructions).Set(text.text);
            return;
        }
        if (text.type == 2 && !song_.copyright.set) {
            song_.copyright.Set(text.text);
            return;
        }
        if (text.type == 3 && !song_.title.set) {
            song_.title.Set(text.text);
            return;
        }
    }
    if (singleTrack || (conductorIsTrack && tick > 0))
        return; // these stay records of a song track
    song_.AddSongMessage(std::make_unique<MidiMsgText>(text.type, AString(text.text)));
}

bool SongAssembler::ReadConductor(const MidiStreamTrack& track, bool singleTrack,
                                  bool conductorIsTrack) {
    std::int64_t tick = 0;
    MeasureClock clock;
    const std::int64_t tpq = song_.TicksPerQuarter();
    clock.SetMeasure(tpq, 4, 4);
    std::int64_t lastSignatureMeasure = -1;
    int plainTextsAtZero = 0;
    bool deviceSeen = false;
    for (const MidiStreamMessage& m : track.messages) {
        tick += m.delta;
        if (tick > kMaxTick)
            return Fail("times beyond what a song can hold");
        clock.Advance(m.delta);
        if (clock.Measure() > kMaxTick)
            return Fail("too many measures");
        const auto measure = static_cast<std::int32_t>(clock.Measure());
        if (const auto* tempo = As<MSMSetTempo>(m)) {
            if (!smpte_) // time code files keep their absolute timing
                song_.SetTempo(static_cast<std::int32_t>(tick), tempo->microsPerQuarter);
        } else if (const auto* sig = As<MSMTimeSignature>(m)) {
            // A later signature for the same measure replaces the earlier one.
            if (sig->numerator > 0 && measure >= lastSignatureMeasure) {
                song_.SetTimeSignature(measure, sig->numerator, sig->denominator);
                clock.SetMeasure(tpq, sig->numerator, sig->denominator);
                lastSignatureMeasure = measure;
            }
        } else if (const auto* key = As<MSMKeySignature>(m)) {
            if (key->key > kKeepKey && key->key <= 7)
                song_.SetKeySignature(measure, key->key, key->mode);
        } else if (const auto* text = As<MSMText>(m)) {
            TakeText(tick, *text, singleTrack, conductorIsTrack, plainTextsAtZero, deviceSeen);
        } else if (singleTrack || (conductorIsTrack && tick > 0)) {
            continue;
        } else if (const auto* sysex = As<MSMSystemExclusive>(m)) {
            song_.AddSongMessage(std::make_unique<MidiMsgSysExclusive>(sysex->bytes));
        } else if (const auto* meta = As<MSMMiscMetaEvent>(m)) {
            song_.AddSongMessage(std::make_unique<MidiMsgNSMetaEvent>(meta->type, meta->bytes));
        }
    }
    return true;
}

bool SongAssembler::ReadTrack(const MidiStreamTrack& track, bool conductor) {
    const auto trackNumber = static_cast<std::uint16_t>(song_.TrackCount());
    struct OpenNote {
        MidiMsgNote* note = nullptr;
        std::int64_t start = 0;
    };
    std::vector<OpenNote> open(16 * 128);
    // Instruments in force per channel, from the start of each track; the writer selects
    // them per channel and chunk, so reading them back the same way keeps them.
    std::array<std::uint8_t, 16> programs{};
    std::array<std::int32_t, 16> banks;
    banks.fill(kNoBank);
    ViewOptions options;
    std::size_t records = 0;
    // Channel summary: -1 none yet, 255 mixed.
    int channel = -1;
    int program = -1;
    std::int32_t programBank = kNoBank;
    bool programMixed = false, sawNote = false;
    // The coarse controller a fine partner may complete.
    struct Coarse {
        bool pending = false;
        std::uint8_t channel = 0, controller = 0, value = 0;
    } coarse;

    auto noteChannel = [&](int ch) { channel = channel == -1 || channel == ch ? ch : 255; };
    auto place = [&](std::int64_t tick, std::unique_ptr<MidiMsg> msg) {
        msg->track = trackNumber;
        placed_.push_back({static_cast<std::int32_t>(tick), std::move(msg)});
        ++records;
    };

    segments_.push_back(placed_.size());
    std::int64_t tick = 0;
    for (const MidiStreamMessage& m : track.messages) {
        tick += m.delta;
        if (tick > kMaxTick)
            return Fail("times beyond what a song can hold");
        const bool isControl = As<MSMControlChange>(m) != nullptr;
        if (!isControl)
            coarse.pending = false;
        if (conductor && !IsChannelEvent(m) && !(IsTextLike(m) && tick > 0))
            continue; // the conductor track's own data went to the song already
        if (const auto* on = As<MSMNoteOn>(m)) {
            OpenNote& slot = open[(on->channel & 0x0F) * 128 + (on->key & 0x7F)];
            if (slot.note)
                slot.note->duration =
                    tick == slot.start ? 1 : static_cast<std::int32_t>(tick - slot.start);
            auto note = std::make_unique<MidiMsgNote>(on->channel, on->key, on->velocity, 1,
                                                      programs[on->channel], banks[on->channel]);
            slot.note = note.get();
            slot.start = tick;
            place(tick, std::move(note));
            noteChannel(on->channel);
            sawNote = true;
        } else if (const auto* off = As<MSMNoteOff>(m)) {
            OpenNote& slot = open[(off->channel & 0x0F) * 128 + (off->key & 0x7F)];
            if (slot.note) {
                slot.note->duration =
                    tick == slot.start ? 2 : static_cast<std::int32_t>(tick - slot.start);
                slot.note->releaseVelocity = off->velocity;
                slot.note = nullptr;
            }
        } else if (const auto* pc = As<MSMProgramChange>(m)) {
            programs[pc->channel] = pc->program;
            if (program == -1) {
                program = pc->program;
                programBank = banks[pc->channel];
            } else if (sawNote && pc->program != program) {
                programMixed = true;
            }
        } else if (const auto* bank = As<MSMBankSelect>(m)) {
            banks[bank->channel & 0x0F] = bank->bank;
        } else if (const auto* cc = As<MSMControlChange>(m)) {
            noteChannel(cc->channel);
            if (coarse.pending && coarse.channel == cc->channel &&
                FinePartner(coarse.controller) == cc->controller) {
                place(tick, std::make_unique<MidiMsgControlChange>(cc->channel, coarse.controller,
                                                                   coarse.value * 128 + cc->value));
                coarse.pending = false;
            } else if (IsCoarseController(cc->controller)) {
                place(tick, std::make_unique<MidiMsgControlChange>(cc->channel, cc->controller,
                                                                   cc->value * 128));
                coarse = {true, cc->channel, cc->controller, cc->value};
            } else {
                coarse.pending = false;
                place(tick, std::make_unique<MidiMsgControlChange>(cc->channel, cc->controller,
                                                                   cc->value));
            }
        } else if (const auto* wheel = As<MSMPitchWheel>(m)) {
            noteChannel(wheel->channel);
            place(tick, std::make_unique<MidiMsgControlChange>(
                            wheel->channel, kPitchBend, static_cast<std::uint16_t>(wheel->value)));
        } else if (const auto* poly = As<MSMPolyAfterTouch>(m)) {
            place(tick, std::make_unique<MidiMsgPolyAftertouch>(poly->channel, poly->key,
                                                                poly->pressure));
        } else if (const auto* touch = As<MSMChannelAfterTouch>(m)) {
            place(tick,
                  std::make_unique<MidiMsgChannelAftertouch>(touch->channel, touch->pressure));
        } else if (const auto* text = As<MSMText>(m)) {
            if (text->type == kOptionsRecordType && text->text.compare(0, 6, kOptionsPrefix) == 0) {
                options = ParseViewOptions(AString(text->text));
                continue;
            }
            AString device;
            if (tick == 0 && text->type == kDeviceRecordType &&
                ParseDeviceRecord(text->text, device))
                continue; // taken as the song's device already
            place(tick, std::make_unique<MidiMsgText>(text->type, AString(text->text)));
        } else if (const auto* sysex = As<MSMSystemExclusive>(m)) {
            place(tick, std::make_unique<MidiMsgSysExclusive>(sysex->bytes));
        } else if (const auto* meta = As<MSMMiscMetaEvent>(m)) {
            place(tick, std::make_unique<MidiMsgNSMetaEvent>(meta->type, meta->bytes));
        }
    }
    // A track that gave nothing makes no song track.
    if (records == 0)
        return true;
    const bool noProgram = program == -1 || programMixed;
    const std::size_t n =
        song_.AddTrack(channel < 0 ? kNoChannel : static_cast<std::uint8_t>(channel),
                       noProgram ? kNoProgram : static_cast<std::uint8_t>(program),
                       noProgram ? kNoBank : programBank);
    song_.GetTrack(n)->options = options;
    return true;
}

bool SongAssembler::Build() {
    if (!SetResolution())
        return false;
    if (stream_.tracks.empty())
        return true;
    const bool singleTrack = stream_.tracks.size() == 1;
    const MidiStreamTrack& conductor = stream_.tracks.front();
    // Channel events and timed texts of a multi-track file's first track would be lost
    // with the conductor data: they make a song track of their own.
    bool conductorIsTrack = false;
    if (!singleTrack) {
        std::int64_t tick = 0;
        for (const MidiStreamMessage& m : conductor.messages) {
            tick += m.delta;
            if (IsChannelEvent(m) || (IsTextLike(m) && tick > 0)) {
                conductorIsTrack = true;
                break;
            }
        }
    }
    if (!ReadConductor(conductor, singleTrack, conductorIsTrack))
        return false;
    if (singleTrack) {
        if (!ReadTrack(conductor, false))
            return false;
        PlaceRecords();
        return true;
    }
    if (conductorIsTrack && !ReadTrack(conductor, true))
        return false;
    for (std::size_t i = 1; i < stream_.tracks.size(); ++i)
        if (!ReadTrack(stream_.tracks[i], false))
            return false;
    PlaceRecords();
    return true;
}

// Each track's records are in time order already: merging the tracks (earlier tracks
// first at equal ticks) puts every record at the end of the song as it goes.
void SongAssembler::PlaceRecords() {
    segments_.push_back(placed_.size());
    using Head = std::pair<std::int32_t, std::size_t>; // tick, segment
    std::priority_queue<Head, std::vector<Head>, std::greater<Head>> heads;
    std::vector<std::size_t> next(segments_.begin(), segments_.end() - 1);
    for (std::size_t s = 0; s + 1 < segments_.size(); ++s)
        if (next[s] < segments_[s + 1])
            heads.push({placed_[next[s]].tick, s});
    while (!heads.empty()) {
        const std::size_t s = heads.top().second;
        heads.pop();
        Placed& p = placed_[next[s]++];
        song_.AddMsg(p.tick, std::move(p.msg));
        if (next[s] < segments_[s + 1])
            heads.push({placed_[next[s]].tick, s});
    }
    placed_.clear();
    segments_.clear();
}

} // namespace

std::unique_ptr<Song> MidiReader::BuildSong(const MidiStream& stream, const AString& fileName,
                                            std::string* error) {
    auto song = std::make_unique<Song>();
    song->fileName = fileName;
    std::string message;
    SongAssembler assembler(stream, *song, message);
    if (!assembler.Build()) {
        if (error)
            *error = message;
        return nullptr;
    }
    song->RewindInsertion();
    return song;
}

FileResult MidiReader::LoadSong(const std::filesystem::path& file, std::unique_ptr<Song>& song) {
    MidiStream stream;
    if (FileResult read = Read(file, stream); !read)
        return read;
    std::string error;
    std::unique_ptr<Song> built = BuildSong(stream, AString(file.string()), &error);
    if (!built)
        return FileResult::Refused(file, "Not a song the program can hold: " + error);
    song = std::move(built);
    return {};
}
