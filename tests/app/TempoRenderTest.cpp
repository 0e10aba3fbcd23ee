// A tempo change made as the tempo dialog makes it, heard through the whole program: the
// song is saved and rendered by the executable, and the WAV lasts as long as the new
// tempo map says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/TempoEditing.h"
#include "edit/CPCommand.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr double kRate = 44100;

// Frames in the data chunk of a 16-bit stereo WAV file; -1 when there is none.
std::int64_t WavFrames(const fs::path& file) {
    const std::string bytes = TempDir::Read(file);
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
    };
    for (std::size_t at = 12; at + 8 <= bytes.size(); at += 8 + u32(at + 4) + (u32(at + 4) & 1))
        if (bytes.compare(at, 4, "data") == 0)
            return u32(at + 4) / 4;
    return -1;
}

// Where `tick` falls in seconds, by the song's tempo map.
double Seconds(const Song& song, std::int32_t tick) {
    double seconds = 0;
    const std::vector<SongTempo> tempos = song.Tempos();
    for (std::size_t i = 0; i < tempos.size() && tempos[i].tick < tick; ++i) {
        const std::int32_t end = i + 1 < tempos.size() ? std::min(tempos[i + 1].tick, tick) : tick;
        seconds += (end - tempos[i].tick) * (tempos[i].tempo / 1e6) / song.TicksPerQuarter();
    }
    return seconds;
}

std::int64_t Render(const TempDir& dir, Song& song, const std::string& name) {
    const fs::path mid = dir / (name + ".mid"), wav = dir / (name + ".wav");
    EXPECT_TRUE(MidiWriter::SaveSong(song, mid));
    const std::string command = std::string(VORLAUNE_EXE) + " -o '" + wav.string() + "' '" +
                                mid.string() + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return WavFrames(wav);
}

} // namespace

TEST(TempoRender, ATempoChangeAtBarThreeStretchesTheRestOfTheSong) {
    if (!fs::exists("/usr/share/sounds/sf2/default-GM.sf2") &&
        !fs::exists("/usr/share/sounds/sf2/TimGM6mb.sf2"))
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    TempDir dir;
    setenv("VORLAUNE_HOME", (dir / "home").c_str(), 1);
    // Four bars of 4/4 at 120 beats per minute: a quarter note on every beat, 8 seconds.
    std::string text;
    for (int beat = 0; beat < 16; ++beat)
        text += (beat ? ", " : "") + std::to_string(beat * 384) + " n60 384";
    auto song = BuildSong(text);
    const std::int64_t before = Render(dir, *song, "before");

    TempoEditing editing(*song);
    TempoEditing::Fields fields;
    fields.time = "3:1:0";
    fields.bpm = 80;
    std::unique_ptr<CPCommand> command;
    ASSERT_FALSE(editing.Make(TempoEditing::kNewEntry, fields, command));
    command->Execute();
    ASSERT_EQ(song->TempoCount(), 2u);
    const std::int64_t after = Render(dir, *song, "after");
    ASSERT_GT(before, 0);
    ASSERT_GT(after, 0);

    // Playing goes on for two quarter notes after the last event, so that it rings out;
    // at the new tempo those last too. Both lengths follow their own tempo maps: 17
    // quarters at 500000 us, then 8 of them at 500000 and 9 at 750000.
    EXPECT_NEAR(before / kRate, 17 * 0.5, 0.01);
    EXPECT_NEAR(after / kRate, 8 * 0.5 + 9 * 0.75, 0.01);
    EXPECT_NEAR(after / kRate, Seconds(*song, song->LastTick() + 2 * 384), 0.01);
}
