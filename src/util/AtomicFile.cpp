#include "util/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Temporary files still open, removed by the signal handler. Plain arrays and atomics
// only: a handler may use nothing else.
constexpr int kSlots = 32;
constexpr std::size_t kMaxPath = 4096;
enum SlotState : int { kFree, kFilling, kPublished };
std::atomic<int> gSlotState[kSlots];
char gSlotPath[kSlots][kMaxPath];
std::once_flag gHandlersInstalled;

extern "C" void RemoveTemporariesAndDie(int signal) {
    AtomicFile::RemoveOpenTemporaries();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Only where nobody installed a handler of their own: a program that catches Ctrl+C
// itself (playing) ends its work and its files the ordinary way.
void InstallHandlers() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
            continue;
        struct sigaction action {};
        action.sa_handler = RemoveTemporariesAndDie;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

int TakeSlot(const fs::path& file) {
    const std::string& name = file.native();
    if (name.size() >= kMaxPath)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!gSlotState[i].compare_exchange_strong(expected, kFilling))
            continue;
        std::memcpy(gSlotPath[i], name.c_str(), name.size() + 1);
        gSlotState[i].store(kPublished, std::memory_order_release);
        return i;
    }
    return -1;
}

void FreeSlot(int& slot) {
    if (slot < 0)
        return;
    gSlotState[slot].store(kFree, std::memory_order_release);
    slot = -1;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

fs::path FolderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// The rename is only durable once the folder's entry reached the disk. Some file
// systems cannot flush a folder; the file itself is safe by then.
void FlushFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

AtomicFile::AtomicFile(fs::path target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::RemoveOpenTemporaries() {
    for (int i = 0; i < kSlots; ++i)
        if (gSlotState[i].load(std::memory_order_acquire) == kPublished)
            ::unlink(gSlotPath[i]);
}

fs::path AtomicFile::TemporaryName(const fs::path& target, int attempt) {
    // Short enough to stay within a name's 255 bytes whatever the target is called.
    std::string name = target.filename().string().substr(0, 200);
    name = "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
    return FolderOf(target) / name;
}

FileResult AtomicFile::Fail(int code) {
    Discard();
    return FileResult::FromErrno(target_, code);
}

FileResult AtomicFile::Open() {
    Discard();
    std::call_once(gHandlersInstalled, InstallHandlers);
    struct stat old {};
    bool replacing = false;
    if (::lstat(target_.c_str(), &old) == 0) {
        if (S_ISLNK(old.st_mode)) {
            // The link itself is replaced; what it points to stays untouched.
            struct stat pointed {};
            replacing = ::stat(target_.c_str(), &pointed) == 0 && S_ISREG(pointed.st_mode);
            if (replacing)
                old = pointed;
        } else if (S_ISDIR(old.st_mode)) {
            return FileResult::FromErrno(target_, EISDIR);
        } else if (!S_ISREG(old.st_mode)) {
            return FileResult::Refused(target_, "Not a regular file");
        } else {
            replacing = true;
        }
        // A file without any write permission is read-only for everybody, the superuser
        // included, who would otherwise pass every permission check.
        if (replacing && ((old.st_mode & 0222) == 0 ||
                          ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0))
            return FileResult::FromErrno(target_, EACCES);
    } else if (errno != ENOENT) {
        return FileResult::FromErrno(target_, errno);
    }

    int lastError = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const fs::path candidate = TemporaryName(target_, attempt);
        // Mode 0666 lets the umask decide for a new file, as for any other program.
        const int fd =
            ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temporary_ = candidate;
            break;
        }
        lastError = errno;
        if (errno != EEXIST && errno != ELOOP)
            return FileResult::FromErrno(target_, errno);
    }
    if (fd_ < 0)
        return FileResult::FromErrno(TemporaryName(target_, kNameAttempts - 1), lastError);
    slot_ = TakeSlot(temporary_);
    if (replacing) {
        if (::fchmod(fd_, old.st_mode & 07777) != 0)
            return Fail(errno);
        // Saving someone else's file as the superuser must not hand it to the superuser.
        if (::geteuid() == 0 && (old.st_uid != 0 || old.st_gid != 0))
            (void)::fchown(fd_, old.st_uid, old.st_gid);
    }
    return {};
}

FileResult AtomicFile::Write(std::string_view bytes) {
    if (fd_ < 0)
        return FileResult::FromErrno(target_, EBADF);
    if (!WriteAll(fd_, bytes.data(), bytes.size()))
        return Fail(errno);
    return {};
}

FileResult AtomicFile::Commit(bool replace) {
    if (fd_ < 0)
        return FileResult::FromErrno(target_, EBADF);
    if (::fsync(fd_) != 0)
        return Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        return Fail(errno);
    int renamed = 0;
    if (replace) {
        renamed = ::rename(temporary_.c_str(), target_.c_str());
    } else {
        renamed =
            ::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE);
        // File systems without the flag: a hard link never replaces either.
        if (renamed != 0 && errno == EINVAL && ::link(temporary_.c_str(), target_.c_str()) == 0)
            renamed = ::unlink(temporary_.c_str());
    }
    if (renamed != 0)
        return Fail(errno);
    temporary_.clear();
    FreeSlot(slot_);
    FlushFolder(FolderOf(target_));
    return {};
}

void AtomicFile::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
    FreeSlot(slot_);
}

FileResult AtomicFile::Replace(const fs::path& target, std::string_view bytes) {
    AtomicFile file(target);
    if (FileResult opened = file.Open(); !opened)
        return opened;
    if (FileResult written = file.Write(bytes); !written)
        return written;
    return file.Commit();
}
