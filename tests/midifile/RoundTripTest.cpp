// Saving and loading again gives back the same song; every outside test file loads or is
// refused, and what loads survives a save with its notes unchanged. Written files are
// checked with independent parsers where they are installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::unique_ptr<Song> SaveAndLoad(Song& song, std::string* bytesOut = nullptr) {
    std::string bytes;
    if (!MidiWriter::SongBytes(song, bytes))
        return nullptr;
    if (bytesOut)
        *bytesOut = bytes;
    MidiStream stream;
    if (!MidiReader::ReadBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                               stream))
        return nullptr;
    return MidiReader::BuildSong(stream, song.fileName);
}

std::string NoteLines(Song& song) {
    std::istringstream in(DumpRecords(song));
    std::string line, notes;
    while (std::getline(in, line))
        if (line.find(" note ch=") != std::string::npos)
            notes += line + "\n";
    return notes;
}

std::string RunCommand(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
            out.append(buf, n);
        if (pclose(pipe) != 0)
            return "FAILED";
    }
    return out;
}

bool Have(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

TEST(RoundTrip, EverythingTheSongHoldsComesBack) {
    auto song = BuildSong("0 p5 b130 n60 100 cc7=12805 bend16000, 0 t1 c9 p0 n38 24 v1 n40 1,"
                          "50 cc64=127 cc1=1 at60=20 cat30 text5=la,"
                          "100 t1 c9 cc101=5, 900 p6 b130 n72 5000, 900 text7=Audio:cue.wav",
                          480);
    song->title.Set("Title");
    song->author.Set("");
    song->instructions.Set("Softly \"please\"");
    song->copyright.Set("(c) 2026");
    song->SetTempo(960, 400000);
    song->SetTimeSignature(1, 3, 4);
    song->SetKeySignature(1, -3, 1);
    song->SetKeySignature(3, 4, 2);
    song->SetKeySignature(4, 0, 4);
    song->SetTimeSignature(5, 7, 16);
    song->AddSongMessage(std::make_unique<MidiMsgText>(1, "extra"));
    song->AddSongMessage(
        std::make_unique<MidiMsgSysExclusive>(std::vector<std::uint8_t>{0xF0, 0x7E, 0xF7}));
    song->AddMsg(20, std::make_unique<MidiMsgNSMetaEvent>(0x7F, std::vector<std::uint8_t>(300, 9)));
    song->GetTrack(1)->options.clefType = kClefBass;
    song->GetTrack(1)->options.printoutScale = 0.9;
    song->GetTrack(0)->channel = 0;
    song->GetTrack(0)->program = 5;
    song->GetTrack(0)->bank = 130;
    song->GetTrack(1)->channel = 9;
    song->GetTrack(1)->program = 0;

    auto back = SaveAndLoad(*song);
    ASSERT_TRUE(back);
    // The loader computes the track's instrument from the file; everything else matches.
    back->GetTrack(0)->program = 5;
    back->GetTrack(0)->bank = 130;
    EXPECT_EQ(DumpSong(*back), DumpSong(*song));

    // A gap longer than four delta bytes can say.
    song->AddMsg(900 + (1 << 28) + 5, std::make_unique<MidiMsgNote>(0, 61, 90, 10, 6, 130));
    back = SaveAndLoad(*song);
    ASSERT_TRUE(back);
    back->GetTrack(0)->program = 5;
    back->GetTrack(0)->bank = 130;
    EXPECT_EQ(DumpSong(*back), DumpSong(*song));

    // And saving again gives the same bytes.
    std::string first, second;
    SaveAndLoad(*back, &first);
    auto again = SaveAndLoad(*back, &second);
    EXPECT_EQ(first, second);
}

TEST(RoundTrip, CorpusFilesLoadOrAreRefusedAndKeepTheirNotes) {
    const fs::path corpus = fs::path(VORLAUNE_CORPUS_DIR) / "midi-edge";
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "no outside test files at " << corpus;
    const bool midicsv = Have("midicsv");
    // Debian's interpreter, where python3-mido is installed.
    const bool mido = RunCommand("/usr/bin/python3 -c 'import mido' 2>&1") == "";
    TempDir dir;
    int loaded = 0, refused = 0;
    std::map<std::string, std::size_t> noteCounts;
    std::string expected;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".mid")
            continue;
        std::unique_ptr<Song> song;
        if (!MidiReader::LoadSong(entry.path(), song)) {
            ++refused;
            EXPECT_TRUE(name.find("corrupt") != std::string::npos ||
                        name.find("illegal") != std::string::npos ||
                        name.find("empty-file") != std::string::npos ||
                        name.find("type-2") != std::string::npos ||
                        name.find("not-a-midi") != std::string::npos)
                << name << " should load";
            continue;
        }
        ++loaded;
        const fs::path out = dir / name;
        ASSERT_TRUE(MidiWriter::SaveSong(*song, out, false)) << name;
        std::unique_ptr<Song> back;
        ASSERT_TRUE(MidiReader::LoadSong(out, back)) << name;
        const std::string noteLines = NoteLines(*song);
        EXPECT_EQ(NoteLines(*back), noteLines) << name;

        // Independent parsers must read the file and see as many note-ons as we wrote.
        std::size_t notes = 0;
        for (std::size_t p = 0; (p = noteLines.find(" note ", p)) != std::string::npos; ++p)
            ++notes;
        noteCounts[out.filename().string()] = notes;
        if (midicsv) {
            const std::string csv = RunCommand("midicsv '" + out.string() + "' 2>/dev/null");
            ASSERT_NE(csv, "FAILED") << name;
            std::size_t ons = 0;
            std::istringstream in(csv);
            for (std::string line; std::getline(in, line);)
                if (line.find("Note_on_c") != std::string::npos &&
                    line.substr(line.rfind(',') + 1) != " 0")
                    ++ons;
            EXPECT_EQ(ons, notes) << name;
        }
    }
    for (const auto& [file, notes] : noteCounts)
        expected += file + " " + std::to_string(notes) + "\n";
    if (mido) {
        // One interpreter for all files: a count of note-ons per file.
        const std::string counts = RunCommand(
            "cd '" + dir.Path().string() +
            "' && /usr/bin/python3 -c \"import mido,glob\nfor f in sorted(glob.glob('*.mid')):\n"
            " m=mido.MidiFile(f)\n"
            " print(f, sum(1 for t in m.tracks for e in t if e.type=='note_on' and "
            "e.velocity>0))\" 2>&1");
        EXPECT_EQ(counts, expected);
    }
    EXPECT_GT(loaded, 50);
    EXPECT_GT(refused, 0);
}
