#include "FakeAudioDevice.h"

#include "CountingNew.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::size_t kMaxBlocks = 1 << 16; // over six minutes of blocks
constexpr auto kPeriod =
    std::chrono::nanoseconds(std::int64_t(FakeAudioDevice::kFrames) * 1000000000 / 44100);

} // namespace

FakeAudioDevice::Lane::Lane(AudioSource& source) : source_(source), peaks_(kMaxBlocks, 0.0f) {
    thread_ = std::thread([this] { Run(); });
}

FakeAudioDevice::Lane::~Lane() {
    quit_.store(true);
    pause_.store(false);
    thread_.join();
}

void FakeAudioDevice::Lane::Run() {
    std::vector<float> left(kFrames), right(kFrames);
    auto next = std::chrono::steady_clock::now();
    while (!quit_.load()) {
        if (pause_.load()) {
            parked_.store(true);
            while (pause_.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            parked_.store(false);
            next = std::chrono::steady_clock::now();
            continue;
        }
        const std::uint64_t block = begun_.fetch_add(1, std::memory_order_acq_rel);
        CountAllocationsHere(true);
        source_.Render(left.data(), right.data(), kFrames);
        CountAllocationsHere(false);
        float peak = 0.0f;
        for (int i = 0; i < kFrames; ++i)
            peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
        if (block < kMaxBlocks)
            peaks_[block] = peak;
        done_.store(block + 1, std::memory_order_release);
        next += kPeriod;
        std::this_thread::sleep_until(next);
    }
}

bool FakeAudioDevice::Lane::WaitDone(std::uint64_t count, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Done() < count)
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

float FakeAudioDevice::Lane::PeakSince(std::uint64_t first) const {
    const std::uint64_t end = std::min<std::uint64_t>(Done(), kMaxBlocks);
    float peak = 0.0f;
    for (std::uint64_t i = first; i < end; ++i)
        peak = std::max(peak, peaks_[i]);
    return peak;
}

bool FakeAudioDevice::Lane::WaitLouder(std::uint64_t first, float level,
                                       std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (PeakSince(first) <= level)
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void FakeAudioDevice::Lane::Pause() {
    pause_.store(true);
    while (!parked_.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakeAudioDevice::FakeAudioDevice() : installed_(true), previous_(AudioDevice::SetStandIn(this)) {}

FakeAudioDevice::~FakeAudioDevice() {
    Uninstall();
    std::lock_guard lock(mutex_);
    lanes_.clear();
}

void FakeAudioDevice::Uninstall() {
    if (installed_)
        AudioDevice::SetStandIn(previous_);
    installed_ = false;
}

bool FakeAudioDevice::Open(AudioSource& source) {
    std::lock_guard lock(mutex_);
    lanes_.push_back(std::make_unique<Lane>(source));
    return true;
}

void FakeAudioDevice::Close(AudioSource& source) {
    std::unique_ptr<Lane> closing;
    {
        std::lock_guard lock(mutex_);
        auto found = std::find_if(lanes_.begin(), lanes_.end(),
                                  [&](const auto& lane) { return &lane->Source() == &source; });
        if (found == lanes_.end())
            return;
        closing = std::move(*found);
        lanes_.erase(found);
    }
    closing.reset(); // joins its thread, outside the lock
}

FakeAudioDevice::Lane* FakeAudioDevice::Last() {
    std::lock_guard lock(mutex_);
    return lanes_.empty() ? nullptr : lanes_.back().get();
}

long FakeAudioDevice::CallbackAllocations() {
    return CountedAllocations();
}
