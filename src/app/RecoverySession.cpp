#include "app/RecoverySession.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/SongDump.h"
#include "util/AtomicFile.h"
#include "util/RegularFile.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefix = "RECOVERY-";
constexpr const char* kHeader = "VORLAUNE RECOVERY 1";
constexpr std::size_t kMaxListBytes = 1 << 20;
// More sessions than this at once would be a home directory gone wrong.
constexpr int kMaxSessions = 1000;

// "<digits><suffix>" at `at` in `name`, the digits a number from 1 on.
bool NumberThen(const std::string& name, std::size_t at, const char* suffix, int& number) {
    const char* first = name.data() + at;
    const char* last = name.data() + name.size();
    if (at >= name.size() || *first == '0')
        return false;
    const auto [end, ec] = std::from_chars(first, last, number);
    return ec == std::errc() && number > 0 && std::string_view(end, last - end) == suffix;
}

bool IsCopyOf(const std::string& name, int session) {
    const std::string stem = kPrefix + std::to_string(session) + "-";
    int k = 0;
    return name.starts_with(stem) && NumberThen(name, stem.size(), ".MID", k);
}

// Undoes EscapeDumpText, which writes the names: a list holds one song a line.
std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        unsigned byte = 0;
        if (c == 'x' && i + 2 < text.size() &&
            std::from_chars(text.data() + i + 1, text.data() + i + 3, byte, 16).ptr ==
                text.data() + i + 3) {
            out += static_cast<char>(byte);
            i += 2;
            continue;
        }
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

// True when `fd` is still the file at `path`: a session removed meanwhile has no lock
// file, or a new one.
bool StillThere(int fd, const fs::path& path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

} // namespace

RecoverySession::RecoverySession(fs::path home, int number, int lockFd)
    : home_(std::move(home)), number_(number), lockFd_(lockFd) {}

RecoverySession::~RecoverySession() {
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

fs::path RecoverySession::ListPath() const {
    return home_ / (kPrefix + std::to_string(number_) + ".TXT");
}

fs::path RecoverySession::LockPath() const {
    return home_ / (kPrefix + std::to_string(number_) + ".LCK");
}

std::string RecoverySession::CopyName(int k) const {
    return kPrefix + std::to_string(number_) + "-" + std::to_string(k) + ".MID";
}

std::unique_ptr<RecoverySession> RecoverySession::Begin(const fs::path& home, std::string* error) {
    int lastError = 0;
    for (int number = 1; number <= kMaxSessions; ++number) {
        const fs::path lock = home / (kPrefix + std::to_string(number) + ".LCK");
        // Whoever makes the lock file owns the number; one left by a crash keeps its own.
        const int fd =
            ::open(lock.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            lastError = errno;
            if (errno == EEXIST)
                continue;
            break;
        }
        if (::flock(fd, LOCK_EX) != 0) {
            lastError = errno;
            ::close(fd);
            ::unlink(lock.c_str());
            break;
        }
        return std::unique_ptr<RecoverySession>(new RecoverySession(home, number, fd));
    }
    if (error)
        *error =
            FileResult::FromErrno(home / (std::string(kPrefix) + "*.LCK"), lastError).Describe();
    return nullptr;
}

std::vector<std::unique_ptr<RecoverySession>> RecoverySession::FindAbandoned(const fs::path& home) {
    std::vector<int> numbers;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(home, ec)) {
        const std::string name = entry.path().filename().string();
        int number = 0;
        if (name.starts_with(kPrefix) && NumberThen(name, std::strlen(kPrefix), ".TXT", number))
            numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());

    std::vector<std::unique_ptr<RecoverySession>> found;
    for (int number : numbers) {
        const fs::path lock = home / (kPrefix + std::to_string(number) + ".LCK");
        // Never made here: a lock file that is missing belongs to a session on its way out.
        const int fd = ::open(lock.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !StillThere(fd, lock)) {
            ::close(fd); // alive, or gone meanwhile
            continue;
        }
        std::unique_ptr<RecoverySession> session(new RecoverySession(home, number, fd));
        std::string text;
        if (!RegularFile::ReadAll(session->ListPath(), text, kMaxListBytes))
            continue;
        session->songs_ = ParseList(text, number);
        // Only copies that are there are worth offering.
        std::erase_if(session->songs_, [&](const Song& song) {
            std::error_code missing;
            return !fs::is_regular_file(session->Path(song.copy), missing);
        });
        if (session->songs_.empty()) {
            (void)session->Settle({});
            continue;
        }
        found.push_back(std::move(session));
    }
    return found;
}

std::string RecoverySession::FormatList(const std::vector<Song>& songs) {
    std::string text = std::string(kHeader) + "\n";
    for (const Song& song : songs)
        text += EscapeDumpText(song.copy) + "\t" + EscapeDumpText(song.original) + "\n";
    return text;
}

std::vector<RecoverySession::Song> RecoverySession::ParseList(const std::string& text, int number) {
    std::vector<Song> songs;
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kHeader)
        return songs;
    while (std::getline(in, line)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        Song song{Unescape(line.substr(0, tab)), Unescape(line.substr(tab + 1))};
        // Anything but a copy of this session's own would have us read or delete a file
        // the list has no business with.
        if (!IsCopyOf(song.copy, number))
            continue;
        songs.push_back(std::move(song));
    }
    return songs;
}

bool RecoverySession::IsCopyName(const std::string& name) const {
    return IsCopyOf(name, number_);
}

void RecoverySession::RemoveCopiesExcept(const std::vector<Song>& keep) const {
    std::error_code ec;
    std::vector<fs::path> doomed;
    for (const fs::directory_entry& entry : fs::directory_iterator(home_, ec)) {
        const std::string name = entry.path().filename().string();
        if (IsCopyName(name) && std::none_of(keep.begin(), keep.end(),
                                             [&](const Song& song) { return song.copy == name; }))
            doomed.push_back(entry.path());
    }
    for (const fs::path& file : doomed)
        fs::remove(file, ec);
}

FileResult RecoverySession::Settle(std::vector<Song> songs) {
    std::erase_if(songs, [this](const Song& song) { return !IsCopyName(song.copy); });
    if (songs.empty()) {
        // The list goes before the copies: a list never names a copy that is not there.
        std::error_code ec;
        fs::remove(ListPath(), ec);
        RemoveCopiesExcept({});
        fs::remove(LockPath(), ec);
        songs_.clear();
        return {};
    }
    if (FileResult written = AtomicFile::Replace(ListPath(), FormatList(songs)); !written)
        return written;
    RemoveCopiesExcept(songs);
    songs_ = std::move(songs);
    return {};
}
