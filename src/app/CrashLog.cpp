#include "app/CrashLog.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <string_view>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include "util/AtomicFile.h"

namespace {

constexpr std::size_t kMaxPath = 4096;
constexpr int kMaxFrames = 64;
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

char gLogPath[kMaxPath];
char gVersion[64];
// Two song lists: the handler reads the one published last while the next is filled.
char gSongs[2][CrashLog::kMaxSongsText];
std::atomic<std::size_t> gSongsLength[2];
std::atomic<int> gSongsShown{0};
std::atomic<bool> gInstalled{false};
std::atomic_flag gReporting = ATOMIC_FLAG_INIT;
char gWhat[1024];
// A stack overflow leaves no room to report on the thread's own stack.
alignas(16) char gAlternateStack[64 * 1024];

void WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

// One piece of the report, put together without allocating.
class Text {
public:
    Text& operator<<(std::string_view text) {
        const std::size_t n = std::min(text.size(), sizeof buffer_ - length_);
        std::memcpy(buffer_ + length_, text.data(), n);
        length_ += n;
        return *this;
    }
    Text& Number(std::uint64_t value, unsigned base = 10, int minDigits = 1) {
        char digits[24];
        int count = 0;
        do {
            digits[count++] = "0123456789abcdef"[value % base];
            value /= base;
        } while (value > 0 && count < 24);
        while (count < minDigits && count < 24)
            digits[count++] = '0';
        while (count > 0 && length_ < sizeof buffer_)
            buffer_[length_++] = digits[--count];
        return *this;
    }
    std::string_view View() const { return {buffer_, length_}; }
    void WriteTo(int fd) {
        WriteAll(fd, buffer_, length_);
        length_ = 0;
    }

private:
    char buffer_[512];
    std::size_t length_ = 0;
};

const char* SignalName(int signal) {
    switch (signal) {
    case SIGSEGV:
        return "SIGSEGV, invalid memory access";
    case SIGBUS:
        return "SIGBUS, bus error";
    case SIGFPE:
        return "SIGFPE, arithmetic error";
    case SIGILL:
        return "SIGILL, illegal instruction";
    case SIGABRT:
        return "SIGABRT, aborted";
    default:
        return "fatal signal";
    }
}

// The processor's registers when the signal came, as the kernel saved them for the
// handler: where a fault happened and with what values, beyond what the stack shows.
void WriteRegisters(int fd, const void* context) {
#if defined(__x86_64__)
    static constexpr struct {
        const char* name;
        int index;
    } kRegisters[] = {
        {"rip", REG_RIP}, {"rsp", REG_RSP}, {"rbp", REG_RBP},    {"rax", REG_RAX}, {"rbx", REG_RBX},
        {"rcx", REG_RCX}, {"rdx", REG_RDX}, {"rsi", REG_RSI},    {"rdi", REG_RDI}, {"r8", REG_R8},
        {"r9", REG_R9},   {"r10", REG_R10}, {"r11", REG_R11},    {"r12", REG_R12}, {"r13", REG_R13},
        {"r14", REG_R14}, {"r15", REG_R15}, {"eflags", REG_EFL},
    };
    const auto& registers = static_cast<const ucontext_t*>(context)->uc_mcontext.gregs;
    Text text;
    text << "Registers:";
    int onLine = 0;
    for (const auto& r : kRegisters) {
        text << (onLine++ % 4 == 0 ? "\n  " : "  ") << r.name << " 0x";
        text.Number(static_cast<std::uint64_t>(registers[r.index]), 16, 16).WriteTo(fd);
    }
    text << "\n";
    text.WriteTo(fd);
#elif defined(__aarch64__)
    const auto& m = static_cast<const ucontext_t*>(context)->uc_mcontext;
    Text text;
    text << "Registers:\n  pc 0x";
    text.Number(m.pc, 16, 16) << "  sp 0x";
    text.Number(m.sp, 16, 16);
    for (int i = 0; i < 31; ++i) {
        text << (i % 4 == 2 ? "\n  x" : "  x");
        text.Number(static_cast<std::uint64_t>(i)) << " 0x";
        text.Number(m.regs[i], 16, 16).WriteTo(fd);
    }
    text << "\n";
    text.WriteTo(fd);
#else
    (void)fd;
    (void)context;
#endif
}

bool SentByProcess(const siginfo_t& info) {
    return info.si_code == SI_USER || info.si_code == SI_TKILL || info.si_code == SI_QUEUE;
}

void Report(int signal, const siginfo_t* info, const void* context, const char* what) {
    int fd = ::open(gLogPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const bool toLog = fd >= 0;
    if (!toLog)
        fd = STDERR_FILENO;

    Text text;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    char when[32];
    CrashLog::FormatTime(now.tv_sec, when);
    text << "==== " << when << " ====\n";
    text << "Vorlaune " << gVersion << ", process ";
    text.Number(static_cast<std::uint64_t>(::getpid())) << "\n";
    if (signal != 0) {
        text << "Signal ";
        text.Number(static_cast<std::uint64_t>(signal)) << " (" << SignalName(signal) << ")";
        if (info && SentByProcess(*info)) {
            text << " sent by process ";
            text.Number(static_cast<std::uint64_t>(info->si_pid));
        } else if (info && signal != SIGABRT) {
            text << " at address 0x";
            text.Number(reinterpret_cast<std::uintptr_t>(info->si_addr), 16);
        }
        text << "\n";
        text.WriteTo(fd);
        if (context)
            WriteRegisters(fd, context);
    } else {
        text << "Uncaught exception: ";
        text.WriteTo(fd);
        WriteAll(fd, what, std::strlen(what));
        WriteAll(fd, "\n", 1);
    }

    WriteAll(fd, "Call stack:\n", 12);
    void* frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    ::backtrace_symbols_fd(frames, count, fd);

    WriteAll(fd, "Open songs:\n", 12);
    const int shown = gSongsShown.load(std::memory_order_acquire);
    const std::size_t length = gSongsLength[shown].load(std::memory_order_acquire);
    if (length == 0)
        WriteAll(fd, "  none\n", 7);
    else
        WriteAll(fd, gSongs[shown], length);
    WriteAll(fd, "\n", 1);

    if (toLog) {
        ::close(fd);
        text << "Vorlaune ended unexpectedly. A report was added to ";
        text.WriteTo(STDERR_FILENO);
        WriteAll(STDERR_FILENO, gLogPath, std::strlen(gLogPath));
        WriteAll(STDERR_FILENO, "\n", 1);
    }
}

extern "C" void OnFatalSignal(int signal, siginfo_t* info, void* context) {
    if (!gReporting.test_and_set())
        Report(signal, info, context, nullptr);
    // A half-written file beside a song or a copy would stay there for good.
    AtomicFile::RemoveOpenTemporaries();
    // The handler is gone by now (SA_RESETHAND): the signal, delivered again once this
    // returns, ends the program as it would have without us, core dump and all.
    ::raise(signal);
}

[[noreturn]] void OnTerminate() {
    const char* what = "terminate was called without an exception";
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            // Copied without allocating: the exception may be std::bad_alloc.
            std::strncpy(gWhat, e.what(), sizeof gWhat - 1);
            what = gWhat;
        } catch (...) {
            what = "not a standard exception";
        }
    }
    if (!gReporting.test_and_set())
        Report(0, nullptr, nullptr, what);
    AtomicFile::RemoveOpenTemporaries();
    // Reported already: abort without a second report for SIGABRT.
    std::signal(SIGABRT, SIG_DFL);
    std::abort();
}

} // namespace

bool CrashLog::Install(const std::filesystem::path& home, const std::string& version) {
    const std::string path = (home / kFileName).string();
    if (path.size() >= kMaxPath)
        return false;
    if (gInstalled.exchange(true))
        return true;
    std::memcpy(gLogPath, path.c_str(), path.size() + 1);
    const std::size_t n = std::min(version.size(), sizeof gVersion - 1);
    std::memcpy(gVersion, version.data(), n);
    gVersion[n] = '\0';

    // The first call loads the unwinder, which may allocate: better now than in a handler.
    void* frames[1];
    ::backtrace(frames, 1);

    // For the thread that installs the handlers; other threads report on their own stack.
    stack_t stack{};
    stack.ss_sp = gAlternateStack;
    stack.ss_size = sizeof gAlternateStack;
    ::sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : kFatalSignals)
        ::sigaction(signal, &action, nullptr);
    std::set_terminate(OnTerminate);
    return true;
}

void CrashLog::SetSongs(const std::string& text) {
    const int next = 1 - gSongsShown.load(std::memory_order_relaxed);
    std::size_t length = text.size();
    if (length > kMaxSongsText) {
        constexpr std::string_view kCut = "  ...\n";
        length = kMaxSongsText - kCut.size();
        const std::size_t lineEnd = text.rfind('\n', length - 1);
        length = lineEnd == std::string::npos ? 0 : lineEnd + 1;
        std::memcpy(gSongs[next], text.data(), length);
        std::memcpy(gSongs[next] + length, kCut.data(), kCut.size());
        length += kCut.size();
    } else {
        std::memcpy(gSongs[next], text.data(), length);
    }
    gSongsLength[next].store(length, std::memory_order_release);
    gSongsShown.store(next, std::memory_order_release);
}

void CrashLog::FormatTime(std::int64_t seconds, char (&out)[32]) {
    // Within years 1970 to 9999, so that the text has its fixed width.
    constexpr std::int64_t kLast = 253402300799;
    seconds = std::clamp<std::int64_t>(seconds, 0, kLast);
    std::int64_t days = seconds / 86400;
    const std::int64_t inDay = seconds % 86400;
    const auto leap = [](std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    std::int64_t year = 1970;
    while (days >= (leap(year) ? 366 : 365)) {
        days -= leap(year) ? 366 : 365;
        ++year;
    }
    const int monthDays[12] = {31, leap(year) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    while (days >= monthDays[month]) {
        days -= monthDays[month];
        ++month;
    }
    Text text;
    text.Number(static_cast<std::uint64_t>(year), 10, 4) << "-";
    text.Number(static_cast<std::uint64_t>(month + 1), 10, 2) << "-";
    text.Number(static_cast<std::uint64_t>(days + 1), 10, 2) << " ";
    text.Number(static_cast<std::uint64_t>(inDay / 3600), 10, 2) << ":";
    text.Number(static_cast<std::uint64_t>(inDay / 60 % 60), 10, 2) << ":";
    text.Number(static_cast<std::uint64_t>(inDay % 60), 10, 2) << " UTC";
    const std::string_view view = text.View();
    const std::size_t n = std::min(view.size(), sizeof out - 1);
    std::memcpy(out, view.data(), n);
    out[n] = '\0';
}
