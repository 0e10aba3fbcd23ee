#include <cstdint>
#include <memory>

#include "FuzzSupport.h"
#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"

// Reads bytes as a MIDI file; whatever loads must also save, and read back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<Song> song = SongFromBytes(data, size);
    if (!song)
        return 0;
    std::string bytes;
    if (MidiWriter::SongBytes(*song, bytes)) {
        MidiStream again;
        if (!MidiReader::ReadBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size(), again))
            __builtin_trap(); // what we write we must read
    }
    return 0;
}
