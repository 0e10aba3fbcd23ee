#include "devices/Chords.h"

#include <algorithm>

#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "model/MidiMsg.h"
#include "model/Song.h"

namespace {

constexpr std::int16_t X = Chords::kUnused;

} // namespace

const std::vector<Chords::Chord>& Chords::BuiltIn() {
    // Highest note first; the order is the cycling order.
    static const std::vector<Chord> table = {
        {4, 0, -5, X, X, X},   {7, 4, 0, X, X, X},   {16, 7, 0, X, X, X},  {3, 0, -5, X, X, X},
        {7, 3, 0, X, X, X},    {15, 7, 0, X, X, X},  {4, 0, -4, X, X, X},  {8, 4, 0, X, X, X},
        {16, 8, 0, X, X, X},   {3, 0, -6, X, X, X},  {6, 3, 0, X, X, X},   {15, 6, 0, X, X, X},
        {3, 0, -4, X, X, X},   {8, 3, 0, X, X, X},   {15, 8, 0, X, X, X},  {24, 12, 0, X, X, X},
        {36, 24, 12, 0, X, X}, {17, 12, 5, 0, X, X}, {11, 4, 0, -5, X, X}, {11, 7, 4, 0, X, X},
        {16, 11, 7, 0, X, X},  {10, 4, 0, -5, X, X}, {10, 7, 4, 0, X, X},  {16, 10, 7, 0, X, X},
        {10, 3, 0, -5, X, X},  {10, 7, 3, 0, X, X},  {15, 10, 7, 0, X, X}, {9, 3, 0, -6, X, X},
        {9, 6, 3, 0, X, X},
    };
    return table;
}

Chords::Chords() : chords_(BuiltIn()) {}

Chords& Chords::Global() {
    static Chords chords;
    return chords;
}

void Chords::UseBuiltIn() {
    chords_ = BuiltIn();
    builtIn_ = true;
}

FileResult Chords::Load(const std::filesystem::path& file) {
    std::unique_ptr<Song> song;
    FileResult loaded = MidiReader::LoadSong(file, song);
    if (!loaded) {
        UseBuiltIn();
        return loaded;
    }
    if (!LoadFromSong(*song))
        return FileResult::Refused(file, "Holds no chords");
    return {};
}

FileResult Chords::Save(const std::filesystem::path& file) const {
    return MidiWriter::SaveSong(*ToSong(), file, false);
}

bool Chords::LoadFromSong(Song& song) {
    std::vector<Chord> chords;
    for (auto node = song.Points().Begin();
         node != song.Points().End() && chords.size() < kMaxChords; ++node) {
        std::vector<int> pitches;
        for (const MidiMsg* msg : (*node)->msgs)
            if (msg->kind == kMsgNote)
                pitches.push_back(static_cast<const MidiMsgNote*>(msg)->key);
        if (pitches.empty())
            continue;
        std::sort(pitches.begin(), pitches.end());
        Chord chord;
        chord.fill(kUnused);
        for (std::size_t i = 0; i < pitches.size() && i < kNotesPerChord; ++i)
            chord[i] = static_cast<std::int16_t>(pitches[i] - kMiddleC);
        chords.push_back(chord);
    }
    // An empty table would leave the chord commands nothing to build.
    if (chords.empty()) {
        UseBuiltIn();
        return false;
    }
    chords_ = std::move(chords);
    builtIn_ = false;
    return true;
}

int Chords::FindChord(int note, const std::bitset<128>& present) const {
    for (std::size_t i = chords_.size(); i-- > 0;) {
        bool matches = true;
        for (std::int16_t offset : chords_[i]) {
            if (offset == kUnused)
                continue;
            const int pitch = note + offset;
            if (pitch < 0 || pitch >= 128 || !present[static_cast<std::size_t>(pitch)]) {
                matches = false;
                break;
            }
        }
        if (matches)
            return static_cast<int>(i);
    }
    return -1;
}

std::unique_ptr<Song> Chords::ToSong() const {
    auto song = std::make_unique<Song>();
    song->AddTrack(0, 0, kNoBank);
    const std::int32_t beat = song->TicksPerQuarter();
    std::int32_t tick = 0;
    for (const Chord& chord : chords_) {
        for (std::int16_t offset : chord) {
            const int pitch = kMiddleC + offset;
            if (offset == kUnused || pitch < 0 || pitch > 127)
                continue;
            song->AddMsg(tick, std::make_unique<MidiMsgNote>(0, static_cast<std::uint8_t>(pitch),
                                                             100, beat, 0, kNoBank));
        }
        tick += beat;
    }
    return song;
}
