#include "app/AudioFileDeletion.h"

#include <system_error>

#include "playback/CueLocation.h"

namespace fs = std::filesystem;

namespace {

bool EndsWithWav(const std::string& name) {
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".wav";
}

} // namespace

AudioFileDeletion AudioFileDeletion::Check(const AString& name, const AString& songFolder,
                                           const std::vector<OtherCue>& otherCues) {
    AudioFileDeletion verdict;
    const std::string written(name.Displayed());
    if (!EndsWithWav(written)) {
        verdict.reason = "Only a cue's own .wav file is ever deleted; this cue names another "
                         "kind of file.";
        return verdict;
    }
    if (fs::path(written).is_absolute()) {
        verdict.reason = "The cue names its file by a full path; only files named within the "
                         "song's folder are deleted.";
        return verdict;
    }
    const CueLocation where = LocateCue(name, songFolder);
    if (where.path.empty()) {
        verdict.reason = where.error;
        return verdict;
    }
    if (where.outside) {
        verdict.reason = "The file lies outside the song's folder.";
        return verdict;
    }
    // With every link resolved the file must be where its name says; otherwise a link
    // on the way leads somewhere else, and that is not this song's file to delete.
    std::error_code ec;
    const fs::path folder = fs::canonical(fs::absolute(fs::path(songFolder.str())), ec);
    if (ec || (folder / fs::path(written)).lexically_normal() != where.path) {
        verdict.reason = "The file is reached through a link.";
        return verdict;
    }
    const fs::file_status status = fs::symlink_status(where.path, ec);
    if (ec || !fs::is_regular_file(status)) {
        verdict.reason = fs::exists(status) ? "The cue's name is not a regular file."
                                            : "The file does not exist.";
        return verdict;
    }
    for (const OtherCue& other : otherCues) {
        const CueLocation elsewhere = LocateCue(other.name, other.songFolder);
        if (!elsewhere.path.empty() && fs::equivalent(elsewhere.path, where.path, ec)) {
            verdict.reason = "Another audio cue still plays this file.";
            return verdict;
        }
    }
    verdict.path = where.path;
    return verdict;
}
