#include "util/HomeDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <unistd.h>

#include "util/AtomicFile.h"
#include "util/RegularFile.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxDefaultBytes = 64 << 20;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

fs::path ExecutableDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

} // namespace

fs::path ResolveHomeDirectory(std::string* error) {
    fs::path home;
    if (!Env("VORLAUNE_HOME").empty())
        home = Env("VORLAUNE_HOME");
    else if (!Env("XDG_DATA_HOME").empty())
        home = fs::path(Env("XDG_DATA_HOME")) / "vorlaune";
    else if (!Env("HOME").empty())
        home = fs::path(Env("HOME")) / ".local" / "share" / "vorlaune";
    else {
        if (error)
            *error = "Neither VORLAUNE_HOME, XDG_DATA_HOME nor HOME is set.";
        return {};
    }
    std::error_code ec;
    fs::create_directories(home, ec);
    if (ec || !fs::is_directory(home)) {
        if (error)
            *error = "Cannot create the folder " + home.string() + ": " + ec.message();
        return {};
    }
    return home;
}

// Found from where the program is, never from where it was built: an installed program
// moves with its prefix, and one built elsewhere must not pick up that machine's files.
fs::path ResourceDirectory() {
    if (!Env("VORLAUNE_RESOURCES").empty())
        return Env("VORLAUNE_RESOURCES");
    const fs::path exeDir = ExecutableDirectory();
    const fs::path installed = exeDir.parent_path() / "share" / "vorlaune";
    std::error_code ec;
    if (fs::is_directory(installed, ec))
        return installed;
    // The build tree links the source tree's resources/ beside the program.
    if (fs::is_directory(exeDir / "resources", ec))
        return exeDir / "resources";
    return installed;
}

int SeedHomeDirectory(const fs::path& home, const fs::path& resources, std::string* error) {
    const fs::path defaults = resources / "home";
    std::error_code ec;
    if (!fs::is_directory(defaults, ec))
        return 0;
    int copied = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(defaults, ec)) {
        if (!entry.is_regular_file(ec))
            continue;
        const fs::path target = home / entry.path().filename();
        std::error_code exists;
        if (fs::exists(fs::symlink_status(target, exists)))
            continue;
        std::string bytes;
        FileResult result = RegularFile::ReadAll(entry.path(), bytes, kMaxDefaultBytes);
        AtomicFile file(target);
        if (result)
            result = file.Open();
        if (result)
            result = file.Write(bytes);
        if (result)
            result = file.Commit(false);
        if (!result && result.Code() == EEXIST && result.File() == target)
            continue; // made meanwhile by someone else: theirs stays
        if (!result) {
            if (error)
                *error = "Cannot copy " + entry.path().string() + " to " + target.string() + ": " +
                         result.Reason();
            return -1;
        }
        ++copied;
    }
    if (ec) {
        if (error)
            *error = "Cannot read " + defaults.string() + ": " + ec.message();
        return -1;
    }
    return copied;
}
