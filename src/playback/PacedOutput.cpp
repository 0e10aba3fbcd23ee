#include "playback/PacedOutput.h"

#include <algorithm>

#include "playback/MidiSink.h"
#include "playback/Sequencer.h"

#if defined(__linux__)
#include <pthread.h>
#include <sys/prctl.h>
#endif

namespace {
constexpr std::int64_t kLongestSleepNs = 5000000;
}

PacedOutput::~PacedOutput() {
    Stop();
}

bool PacedOutput::Start(PlayContext& context, AString& /*error*/) {
    Stop();
    context_ = &context;
    quit_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void PacedOutput::Stop() {
    quit_ = true;
    wake_.release();
    if (thread_.joinable())
        thread_.join();
}

void PacedOutput::Run() {
#if defined(__linux__)
    // The default timer slack (50 us) is a large part of the lateness budget, and a busy
    // machine would otherwise keep the thread waiting for milliseconds. Real-time
    // scheduling is used where the system grants it, below the audio threads.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    sched_param priority{};
    priority.sched_priority = 40;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
#endif
    using Clock = std::chrono::steady_clock;
    Sequencer& seq = context_->Seq();
    const Clock::time_point origin = Clock::now();
    sink_.PlayStarted(origin);
    while (!quit_.load(std::memory_order_acquire)) {
        const std::int64_t now =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - origin).count();
        if (context_->StopRequested()) {
            seq.Silence(sink_, now);
            context_->Notify();
            break;
        }
        seq.Advance(now, sink_);
        if (seq.Ended()) {
            context_->Notify();
            break;
        }
        // Wake for the next event, and often enough to keep the position moving and to
        // notice a stop. A plain sleep: the library's timed semaphore waits wake late.
        const std::int64_t draw = std::max(1, context_->DrawResolutionMs()) * 1000000LL;
        std::int64_t wake = now + std::min<std::int64_t>(draw, kLongestSleepNs);
        std::int64_t due = 0;
        if (seq.NextDue(due))
            wake = std::min(wake, due);
        if (wake_.try_acquire())
            continue;
        std::this_thread::sleep_until(origin + std::chrono::nanoseconds(wake));
    }
}
