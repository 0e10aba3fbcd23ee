#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "FuzzSupport.h"
#include "QuietMessages.h"
#include "RecordingSurface.h"
#include "StepPlayer.h"
#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "midifile/SongExtensions.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "model/ViewFilter.h"
#include "playback/NullSink.h"
#include "views/StaffPrinter.h"

// Reads bytes as a MIDI file. Whatever loads must save and read back into a song that
// dumps the same; its first pages are laid out and drawn and its first second played,
// none of which may change it.
namespace {

// Songs longer than this are refused, as the page limit setting makes the printer do;
// it keeps every run short.
constexpr std::int32_t kPageLimit = 4;
constexpr std::int32_t kPagesDrawn = 3;
constexpr double kPlaySeconds = 1.0;

// The dump without the instrument each track line names. A track names the program of
// the first program change in its file chunk, while the writer writes program changes
// only where a note needs one: that summary may change over a save (a chunk changing
// its program before its first note, a track without notes, one without any program
// change), the instruments of the notes may not.
std::string WithoutTrackInstruments(std::string dump) {
    for (std::size_t line = 0; line < dump.size();) {
        std::size_t end = std::min(dump.find('\n', line), dump.size());
        if (dump.compare(line, 6, "track ") == 0) {
            const std::size_t from = dump.find(" program ", line);
            const std::size_t to = dump.find(" options ", line);
            if (from < end && to < end && from < to) {
                dump.erase(from, to - from);
                end -= to - from;
            }
        }
        line = end + 1;
    }
    return dump;
}

// What a MIDI file can hold of the song's notes: a note still sounding when the next one
// of its track, channel and key starts ends there, as the writer ends it (a note off
// at the note's own start reads back as two ticks long).
void CutOverlaps(Song& song) {
    struct Sounding {
        MidiMsgNote* note;
        std::int64_t start;
    };
    std::map<std::tuple<int, int, int>, Sounding> last;
    std::int64_t tick = 0;
    for (auto p = song.Points().Begin(); p != song.Points().End(); ++p) {
        tick += (*p)->delta;
        for (MidiMsg* msg : (*p)->msgs) {
            if (msg->kind != kMsgNote)
                continue;
            auto* note = static_cast<MidiMsgNote*>(msg);
            auto [at, fresh] =
                last.try_emplace({note->track, note->channel, note->key}, Sounding{note, tick});
            if (fresh)
                continue;
            Sounding& before = at->second;
            if (before.start + before.note->duration > tick)
                before.note->duration =
                    tick == before.start ? 2 : static_cast<std::int32_t>(tick - before.start);
            before = {note, tick};
        }
    }
}

// `song` saved and read back must dump as `expected` (the same file's song, its notes
// cut as the file will hold them) does.
void SaveAndReload(Song& song, Song& expected) {
    std::string bytes;
    if (!MidiWriter::SongBytes(song, bytes))
        return;
    MidiStream again;
    if (!MidiReader::ReadBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                               again))
        __builtin_trap(); // what we write we must read
    std::unique_ptr<Song> reloaded = MidiReader::BuildSong(again, "");
    if (!reloaded)
        __builtin_trap();
    // Without tracks the file has the conductor chunk alone, and a single chunk reads as
    // the song's one track: the song's own records come back as that track's.
    if (expected.TrackCount() == 0 && !expected.SongMessages().IsEmpty())
        return;
    CutOverlaps(expected);
    const std::string saved = WithoutTrackInstruments(DumpSong(expected));
    const std::string read = WithoutTrackInstruments(DumpSong(*reloaded));
    if (read != saved)
        FailDifferent("The saved and the reloaded song", saved, read);
}

bool SameDrawing(const RecordingSurface& a, const RecordingSurface& b) {
    return std::equal(a.ops.begin(), a.ops.end(), b.ops.begin(), b.ops.end(),
                      [](const RecordingSurface::Op& x, const RecordingSurface::Op& y) {
                          return x.kind == y.kind && x.x0 == y.x0 && x.y0 == y.y0 && x.x1 == y.x1 &&
                                 x.y1 == y.y1 && x.sx == y.sx && x.sy == y.sy && x.ex == y.ex &&
                                 x.ey == y.ey && x.text == y.text && x.font == y.font &&
                                 x.pen == y.pen;
                      });
}

// The printout of one track or all of them, on A4 at 600 or 150 dots an inch.
void PrintFirstPages(Song& song, unsigned choice) {
    const int track = static_cast<int>(choice % (song.TrackCount() + 1));
    ViewFilter filter;
    ViewOptions options;
    std::string error;
    if (!ChoosePrintTracks(song, track, filter, options, error))
        __builtin_trap(); // the track exists
    const std::int32_t perCm = StaffPrinter::PixelsPerCentimetre(choice & 8 ? 150 : 600);
    const std::int32_t width = 18 * perCm;
    const std::int32_t height = 267 * perCm / 10;
    const auto laidOut = [&](StaffPrinter& printer) {
        printer.SetPageLimit(kPageLimit);
        return printer.CountPages(width, height, perCm, perCm);
    };
    StaffPrinter printer(song, filter, options);
    const std::int32_t pages = laidOut(printer);
    if (pages == 0 ? printer.Refusal().empty() : pages > kPageLimit || !printer.Refusal().empty())
        __builtin_trap();
    const std::int32_t drawn = std::min(pages, kPagesDrawn);
    std::array<RecordingSurface, kPagesDrawn> painted;
    for (std::int32_t p = 1; p <= drawn; ++p)
        printer.PaintPage(p, painted[static_cast<std::size_t>(p - 1)]);
    if (drawn < kPagesDrawn)
        return;
    // A page painted after the one before it looks the same whatever came earlier.
    StaffPrinter again(song, filter, options);
    if (laidOut(again) != pages)
        __builtin_trap();
    RecordingSurface before, last;
    again.PaintPage(drawn - 1, before);
    again.PaintPage(drawn, last);
    if (!SameDrawing(last, painted[static_cast<std::size_t>(drawn - 1)]))
        __builtin_trap();
}

bool WellFormed(const NullSink::Sent& sent) {
    const std::uint8_t status = sent.bytes[0] & 0xF0;
    const int size = status == 0xC0 || status == 0xD0 ? 2 : 3;
    if (status < 0x80 || status == 0xF0 || sent.size != size)
        return false;
    return std::all_of(sent.bytes + 1, sent.bytes + size, [](std::uint8_t b) { return b < 0x80; });
}

// The stream goes out in time order and well formed; a song that ends leaves no note
// sounding; every cue played is one the song lists for loading.
void PlayFirstSecond(Song& song) {
    NullSink sink(1 << 14);
    bool ended = false;
    std::vector<std::string> cues;
    if (!PlayFirstSeconds(song, kPlaySeconds, sink, ended, &cues) || sink.Dropped() > 0)
        return;
    std::int64_t due = 0;
    std::array<std::bitset<128>, 16> sounding;
    for (const NullSink::Sent& sent : sink.SentItems()) {
        if (sent.due < due)
            __builtin_trap();
        due = sent.due;
        if (sent.sound)
            continue;
        if (!WellFormed(sent))
            __builtin_trap();
        const std::uint8_t status = sent.bytes[0] & 0xF0;
        auto& keys = sounding[sent.bytes[0] & 0x0F];
        if (status == 0x90 && sent.bytes[2] > 0)
            keys.set(sent.bytes[1]);
        else if (status == 0x80 || status == 0x90)
            keys.reset(sent.bytes[1]);
    }
    if (ended && std::any_of(sounding.begin(), sounding.end(), [](auto& k) { return k.any(); }))
        __builtin_trap();
    const std::vector<AString> listed = SongAudioCueFiles(song);
    for (const std::string& cue : cues)
        if (std::none_of(listed.begin(), listed.end(),
                         [&](const AString& file) { return file.str() == cue; }))
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietMessages quiet;
    std::unique_ptr<Song> song = SongFromBytes(data, size);
    if (!song)
        return 0;
    SaveAndReload(*song, *SongFromBytes(data, size));
    const std::string dump = DumpSong(*song);
    unsigned choice = 0;
    for (std::size_t i = 0; i < size; ++i)
        choice = choice * 31 + data[i];
    PrintFirstPages(*song, choice);
    PlayFirstSecond(*song);
    if (const std::string after = DumpSong(*song); after != dump)
        FailDifferent("The song before and after printing and playing", dump, after);
    return 0;
}
