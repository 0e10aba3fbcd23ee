#include "util/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool Fail(std::string* error, const std::string& what) {
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

} // namespace

bool WriteFileAtomically(const fs::path& target, std::string_view bytes, std::string* error) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return Fail(error, "cannot create a file in " + folder.string());

    struct stat old {};
    if (::stat(target.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    else
        ::fchmod(
            fd, 0666 & ~[] {
                const mode_t mask = ::umask(0);
                ::umask(mask);
                return mask;
            }());

    const char* data = bytes.data();
    std::size_t left = bytes.size();
    bool ok = true;
    while (ok && left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            ok = Fail(error, "cannot write " + temp);
            break;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (ok && ::fsync(fd) != 0)
        ok = Fail(error, "cannot flush " + temp);
    if (::close(fd) != 0 && ok)
        ok = Fail(error, "cannot close " + temp);
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0)
        ok = Fail(error, "cannot replace " + target.string());
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}
