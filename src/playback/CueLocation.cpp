#include "playback/CueLocation.h"

#include <algorithm>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// Links resolved as far as they exist; the rest only tidied.
fs::path Resolved(const fs::path& path) {
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(path, ec);
    if (ec)
        resolved = path.lexically_normal();
    if (resolved.has_parent_path() && resolved.filename().empty())
        resolved = resolved.parent_path();
    return resolved;
}

bool IsWithin(const fs::path& path, const fs::path& folder) {
    const auto [inFolder, inPath] =
        std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return inFolder == folder.end() && inPath != path.end();
}

} // namespace

CueLocation LocateCue(const AString& name, const AString& songFolder) {
    CueLocation where;
    // Files often end their texts with zero bytes. One before the end would cut the name
    // short where the system reads it: another file than the one checked here.
    const std::string_view shown = name.Displayed();
    if (shown.find('\0') != std::string_view::npos) {
        where.error = "The cue's file name holds a zero byte.";
        return where;
    }
    const fs::path written(shown);
    if (written.empty()) {
        where.error = "The cue names no file.";
        return where;
    }
    fs::path folder;
    if (!songFolder.IsEmpty()) {
        std::error_code ec;
        folder = Resolved(fs::absolute(fs::path(songFolder.str()), ec));
    }
    if (written.is_relative() && folder.empty()) {
        where.error = "The song has not been saved yet, so there is no folder to find the "
                      "file in.";
        return where;
    }
    where.path = Resolved(folder / written); // an absolute name replaces the folder
    where.outside = folder.empty() || !IsWithin(where.path, folder);
    return where;
}
