#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "QuietMessages.h"
#include "StepPlayer.h"
#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "midifile/SongExtensions.h"
#include "model/Song.h"
#include "playback/CueLocation.h"
#include "playback/NullSink.h"

// Audio cue records from anywhere: the byte first chooses the song's folder, then each
// line is one text record, its first byte choosing type, prefix and time, the rest the
// name ('@' at its start stands for this run's folder, so absolute names can reach it).
// Every cue the song lists is the one the player plays, survives saving, and is found
// in the song's folder only where the system would really open it there. Nothing
// outside this run's folder is opened or written.
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxRecords = 64;
constexpr double kPlaySeconds = 600.0;

// A song folder with files, a subfolder and links leading in, out, round and nowhere.
struct CueTree {
    fs::path home; // as this process's folder is written
    fs::path real; // the same with links resolved
    fs::path song; // the song's real folder
    CueTree() : home(FuzzHome() / "cues") {
        fs::create_directories(home / "song" / "kit");
        const auto file = [](const fs::path& path) { std::fclose(std::fopen(path.c_str(), "w")); };
        file(home / "outside.wav");
        file(home / "song" / "drum.wav");
        file(home / "song" / "kit" / "snare.wav");
        fs::create_directory_symlink("..", home / "song" / "up");
        fs::create_directory_symlink(".", home / "song" / "self");
        fs::create_directory_symlink("kit", home / "song" / "inner");
        fs::create_symlink(home / "outside.wav", home / "song" / "away");
        fs::create_symlink("loop", home / "song" / "loop");
        fs::create_symlink("nothere", home / "song" / "gone");
        fs::create_directory_symlink("song", home / "linked");
        real = fs::canonical(home);
        song = real / "song";
    }
};

const CueTree& Tree() {
    static const CueTree tree;
    return tree;
}

// The folder as the song names it, and where it really is (empty for a song without
// one).
struct Folder {
    std::string written;
    fs::path real;
};

Folder ChooseFolder(std::uint8_t choice) {
    const CueTree& t = Tree();
    switch (choice & 7) {
    case 0:
        return {(t.home / "song").string(), t.song};
    case 1:
        return {(t.home / "song").string() + "/", t.song};
    case 2:
        return {(t.home / "linked").string(), t.song};
    case 3:
        return {"", {}};
    case 4:
        return {(t.home / "song" / "kit" / "..").string(), t.song};
    case 5:
        return {(t.home / "missing").string(), t.real / "missing"};
    case 6:
        return {(t.home / "song" / "kit").string(), t.song / "kit"};
    default:
        return {(t.home / "song" / "." / "").string(), t.song};
    }
}

bool StrictlyWithin(const std::string& path, const fs::path& folder) {
    const std::string prefix = folder.string() + "/";
    return path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0;
}

// Where the system itself takes a path (up to its first zero byte); empty when it leads
// to nothing that exists.
std::string SystemView(const fs::path& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

void CheckLocation(const AString& name, const Folder& folder) {
    const CueLocation where = LocateCue(name, AString(folder.written));
    const std::string about =
        name.str() + "\" in \"" + folder.written + "\" at \"" + where.path.string();
    if (where.path.empty()) {
        // Only a name that says nothing, holds a zero byte before its end, or is relative
        // without a folder, leads nowhere.
        const std::string_view shown = name.Displayed();
        const bool nowhere = shown.empty() || shown.find('\0') != std::string_view::npos ||
                             (folder.written.empty() && fs::path(shown).is_relative());
        if (!nowhere || where.error.IsEmpty())
            FailBecause("The cue leads nowhere", about);
        return;
    }
    if (!where.path.is_absolute())
        FailBecause("The cue's file is not named in full", about);
    const std::string system = SystemView(where.path);
    if (!where.outside) {
        // Inside as written, and inside where the system would open it.
        if (folder.real.empty() || !StrictlyWithin(where.path.string(), folder.real))
            FailBecause("The cue's file is taken as inside the folder", about);
        if (!system.empty() && !StrictlyWithin(system, folder.real))
            FailBecause("The cue's file is inside the folder but opens outside it", about);
    } else if (!folder.real.empty() && !system.empty() && StrictlyWithin(system, folder.real) &&
               system == where.path.string()) {
        FailBecause("The cue's file is marked outside though it lies inside", about);
    }
    // A found file is named as the system resolves it, and finding it again changes nothing.
    if (!system.empty() && where.path.string().find('\0') == std::string::npos &&
        system != where.path.string())
        FailBecause("The cue's file is not named as the system resolves it", about);
    const CueLocation again = LocateCue(AString(where.path.string()), AString(folder.written));
    if (again.path != where.path || again.outside != where.outside)
        FailBecause("The cue's file is found elsewhere when looked for again", about);
}

std::vector<std::string> Unique(std::vector<std::string> names) {
    std::set<std::string> seen;
    std::erase_if(names, [&](const std::string& n) { return !seen.insert(n).second; });
    return names;
}

std::vector<std::string> Names(const std::vector<AString>& files) {
    std::vector<std::string> names;
    for (const AString& f : files)
        names.push_back(f.str());
    return names;
}

bool IsCueText(int type, const std::string& text) {
    static const std::string prefix = "audio:";
    if (type != kAudioCueType || text.size() <= prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    QuietMessages quiet;
    const Folder folder = ChooseFolder(data[0]);
    Song song;
    song.AddTrack(kNoChannel, kNoProgram, kNoBank);
    if (!folder.written.empty())
        song.fileName = AString((fs::path(folder.written) / "song.mid").string());
    static const char* const kPrefixes[4] = {"", "Audio:", "AUDIO:", "audio:"};
    static const std::int32_t kSteps[4] = {0, 1, 96, 384};
    std::vector<std::string> expected;
    std::int32_t tick = 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t from = 0;
    for (std::size_t records = 0; from < bytes.size() && records < kMaxRecords; ++records) {
        const std::size_t end = std::min(bytes.find('\n', from), bytes.size());
        const auto head = static_cast<std::uint8_t>(bytes[from]);
        std::string name = bytes.substr(from + 1, end - std::min(end, from + 1));
        from = end + 1;
        if (!name.empty() && name[0] == '@')
            name.replace(0, 1, Tree().home.string());
        const int type = head & 4 ? 1 + (head >> 5) % 7 : kAudioCueType;
        const std::string text = kPrefixes[head & 3] + name;
        tick += kSteps[(head >> 3) & 3];
        auto msg = std::make_unique<MidiMsgText>(type, AString(text));
        msg->track = 0;
        song.AddMsg(tick, std::move(msg));
        if (IsCueText(type, text))
            expected.push_back(text.substr(6));
    }

    // Listed once each, in song order, and played as listed.
    const std::vector<std::string> listed = Names(SongAudioCueFiles(song));
    if (listed != Unique(expected))
        __builtin_trap();
    NullSink sink(1 << 10);
    bool ended = false;
    std::vector<std::string> played;
    if (PlayFirstSeconds(song, kPlaySeconds, sink, ended, &played) &&
        (!ended || Unique(played) != listed))
        __builtin_trap();

    for (const std::string& name : listed)
        CheckLocation(AString(name), folder);

    // Saved and read back, the song lists the same cues.
    std::string file;
    if (!MidiWriter::SongBytes(song, file))
        __builtin_trap();
    std::unique_ptr<Song> back =
        SongFromBytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    if (!back || Names(SongAudioCueFiles(*back)) != listed)
        __builtin_trap();
    return 0;
}
