#include "util/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

} // namespace

FileResult RegularFile::Open(const std::filesystem::path& file, int& fd) {
    fd = -1;
    // Without O_NONBLOCK opening a pipe would wait for a writer that never comes.
    Descriptor opened(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (opened.Get() < 0)
        return FileResult::FromErrno(file, errno);
    struct stat info {};
    if (::fstat(opened.Get(), &info) != 0)
        return FileResult::FromErrno(file, errno);
    if (S_ISDIR(info.st_mode))
        return FileResult::FromErrno(file, EISDIR);
    if (!S_ISREG(info.st_mode))
        return FileResult::Refused(file, kNotRegular);
    const int flags = ::fcntl(opened.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(opened.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return FileResult::FromErrno(file, errno);
    fd = opened.Release();
    return {};
}

FileResult RegularFile::ReadAll(const std::filesystem::path& file, std::string& bytes,
                                std::size_t maxBytes) {
    bytes.clear();
    int raw = -1;
    if (FileResult opened = Open(file, raw); !opened)
        return opened;
    Descriptor fd(raw);
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0)
        return FileResult::FromErrno(file, errno);
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return FileResult::FromErrno(file, EFBIG);
    std::string read;
    read.reserve(static_cast<std::size_t>(info.st_size));
    // Read to the end rather than trusting the size: the file may be growing.
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return FileResult::FromErrno(file, errno);
        if (got == 0)
            break;
        if (read.size() + static_cast<std::size_t>(got) > maxBytes)
            return FileResult::FromErrno(file, EFBIG);
        read.append(buffer, static_cast<std::size_t>(got));
    }
    bytes = std::move(read);
    return {};
}

FileResult RegularFile::Check(const std::filesystem::path& file) {
    int raw = -1;
    FileResult result = Open(file, raw);
    Descriptor closer(raw);
    return result;
}
