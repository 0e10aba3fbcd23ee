#include <bitset>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "devices/Chords.h"
#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"

// Bytes as the chord file: the table stays within its bounds, every chord can be looked
// for, and the table written as a chord file reads back the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<Song> song = SongFromBytes(data, size);
    if (!song)
        return 0;
    Chords chords;
    if (!chords.LoadFromSong(*song))
        return 0;
    if (chords.Count() == 0 || chords.Count() > Chords::kMaxChords)
        __builtin_trap();
    std::bitset<128> present;
    for (std::size_t i = 0; i < size && i < 64; ++i)
        present.set(data[i] & 0x7F);
    for (int note = 0; note < 128; note += 5)
        (void)chords.FindChord(note, present);
    std::string bytes;
    if (!MidiWriter::SongBytes(*chords.ToSong(), bytes))
        __builtin_trap();
    MidiStream again;
    if (!MidiReader::ReadBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                               again))
        __builtin_trap();
    std::unique_ptr<Song> back = MidiReader::BuildSong(again, "");
    Chords reread;
    if (!back || !reread.LoadFromSong(*back) || reread.Count() != chords.Count())
        __builtin_trap();
    for (std::size_t i = 0; i < chords.Count(); ++i)
        if (reread.At(i) != chords.At(i))
            __builtin_trap();
    return 0;
}
