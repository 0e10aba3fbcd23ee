#include "record/WaveCapture.h"

#include <sndfile.h>

#include <chrono>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "playback/PostTarget.h"
#include "record/PitchConversions.h"
#include "record/SampleRing.h"
#include "record/WaveToNotes.h"
#include "record/WaveTrim.h"

namespace {

// About 47 seconds of sound: the writer may fall that far behind (a slow disk) before
// anything is lost.
constexpr std::size_t kRingSamples = std::size_t{1} << 21;
constexpr std::size_t kChunkSamples = 4096;
// How often the file's header is brought up to date, so that a take survives a crash
// of the program up to about this much before it.
constexpr std::uint64_t kHeaderEverySamples = AudioCaptureSource::kRate / 2;
// Samples already analysed are dropped from the front once this many have gathered.
constexpr std::size_t kCompactAt = 65536;
constexpr auto kIdleWait = std::chrono::milliseconds(5);

} // namespace

struct WaveCapture::Impl : AudioCaptureSink {
    explicit Impl(std::unique_ptr<AudioCaptureSource> s)
        : source(std::move(s)), search(FrameSearchOf(WaveToNotesParameters())) {}

    // On the source's thread: never waits. Counted before the samples can reach the
    // analysis, so that no reader sees more analysed than taken in.
    void Captured(const std::int16_t* samples, std::size_t count) override {
        captured.fetch_add(count, std::memory_order_release);
        const std::size_t taken = ring.Write(samples, count);
        if (taken < count)
            lost.fetch_add(count - taken, std::memory_order_relaxed);
    }

    void Run();
    void Take(const std::int16_t* samples, std::size_t count);
    void Analyse();
    void CloseFile();
    void Problem(const std::string& text) {
        std::lock_guard lock(mutex);
        if (problem.empty())
            problem = text;
    }

    std::unique_ptr<AudioCaptureSource> source;
    std::filesystem::path directory;
    std::string eventName = "VLNewFreqEvent";
    FrameSearch search;
    PostTarget* target = nullptr;
    std::uint32_t message = 0;

    SampleRing ring{kRingSamples};
    SNDFILE* file = nullptr;
    std::thread worker;
    std::atomic<bool> stopping{false};
    bool recording = false;
    std::atomic<std::uint64_t> captured{0};
    std::atomic<std::uint64_t> analysed{0};
    std::atomic<std::uint64_t> lost{0};

    // The worker's own.
    std::vector<std::int16_t> pending; // from the next frame's first sample on
    std::size_t pendingStart = 0;
    std::uint64_t sinceHeader = 0;
    std::size_t posted = 0;

    mutable std::mutex mutex; // guards frames and problem
    std::vector<FrequencyAnalysisSegment> frames;
    std::string problem;
};

void WaveCapture::Impl::Run() {
    std::vector<std::int16_t> chunk(kChunkSamples);
    for (;;) {
        // The flag is read before the ring: once it is seen set, the source has stopped
        // and whatever the ring then holds is the last of the take.
        const bool last = stopping.load(std::memory_order_acquire);
        const std::size_t got = ring.Read(chunk.data(), chunk.size());
        if (got > 0) {
            Take(chunk.data(), got);
            continue;
        }
        if (last)
            break;
        std::this_thread::sleep_for(kIdleWait);
    }
}

void WaveCapture::Impl::Take(const std::int16_t* samples, std::size_t count) {
    if (file) {
        const auto n = static_cast<sf_count_t>(count);
        if (sf_write_short(file, samples, n) != n)
            Problem(std::string("Writing the recording failed: ") + sf_strerror(file));
        sinceHeader += count;
        if (sinceHeader >= kHeaderEverySamples) {
            sinceHeader = 0;
            sf_command(file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
        }
    }
    pending.insert(pending.end(), samples, samples + count);
    Analyse();
}

void WaveCapture::Impl::Analyse() {
    for (;;) {
        FrequencyAnalysisSegment frame;
        const long available = static_cast<long>(pending.size() - pendingStart);
        DetectFrame(pending.data() + pendingStart, available, AudioCaptureSource::kRate, search,
                    frame);
        if (frame.length == 0)
            break;
        pendingStart += frame.length;
        {
            std::lock_guard lock(mutex);
            frames.push_back(frame);
        }
        analysed.fetch_add(frame.length, std::memory_order_release);
    }
    if (pendingStart >= kCompactAt) {
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(pendingStart));
        pendingStart = 0;
    }
    std::size_t count = 0;
    {
        std::lock_guard lock(mutex);
        count = frames.size();
    }
    if (target && count != posted) {
        posted = count;
        target->Post(message, static_cast<std::int64_t>(count));
    }
}

void WaveCapture::Impl::CloseFile() {
    if (file && sf_close(file) != 0)
        Problem("Closing the recording failed.");
    file = nullptr;
}

WaveCapture::WaveCapture(std::unique_ptr<AudioCaptureSource> source)
    : impl_(std::make_unique<Impl>(std::move(source))) {}

WaveCapture::~WaveCapture() {
    Stop();
    impl_->CloseFile();
}

void WaveCapture::SetDirectory(const std::filesystem::path& directory) {
    impl_->directory = directory;
}

std::filesystem::path WaveCapture::TakePath() const {
    return impl_->directory / kTakeName;
}

void WaveCapture::SetAnalysis(const std::string& eventName, double tolerance, int lowPitch,
                              int highPitch, long minVolume, double peakFraction,
                              double peakWeight) {
    Impl& d = *impl_;
    d.eventName = eventName;
    d.search.tolerance = tolerance;
    d.search.minVolume = minVolume;
    d.search.lowFrequency = FrequencyOfNote(lowPitch);
    d.search.highFrequency = FrequencyOfNote(highPitch);
    d.search.peakFraction = peakFraction;
    d.search.peakWeight = peakWeight;
}

void WaveCapture::SetAnalysis(const WaveToNotesParameters& p) {
    SetAnalysis("VLNewFreqEvent", p.tolerance, p.lowPitch, p.highPitch, p.minVolume, p.peakFraction,
                p.peakWeight);
}

void WaveCapture::SetFrameTarget(PostTarget* target, std::uint32_t message) {
    impl_->target = target;
    impl_->message = message;
}

bool WaveCapture::Prepare(std::string& error) {
    Impl& d = *impl_;
    if (d.recording) {
        error = "A recording is already running.";
        return false;
    }
    if (d.directory.empty()) {
        error = "No folder was given for the recording.";
        return false;
    }
    d.CloseFile();
    SF_INFO info{};
    info.samplerate = AudioCaptureSource::kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const std::filesystem::path path = TakePath();
    d.file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!d.file) {
        error = "Cannot write " + path.string() + ": " + sf_strerror(nullptr);
        return false;
    }
    {
        std::lock_guard lock(d.mutex);
        d.frames.clear();
        d.problem.clear();
    }
    d.pending.clear();
    d.pendingStart = 0;
    d.sinceHeader = 0;
    d.posted = 0;
    d.captured = 0;
    d.analysed = 0;
    d.lost = 0;
    return true;
}

bool WaveCapture::Start(std::string& error) {
    Impl& d = *impl_;
    if (d.recording) {
        error = "A recording is already running.";
        return false;
    }
    if (!d.file) {
        error = "The recording was not prepared.";
        return false;
    }
    if (!d.source) {
        error = "There is nothing to record from.";
        return false;
    }
    d.stopping = false;
    d.worker = std::thread([&d] { d.Run(); });
    d.recording = true;
    if (!d.source->Start(d, error)) {
        // Nothing was recorded: no empty take is left behind to be mistaken for one.
        d.stopping.store(true, std::memory_order_release);
        d.worker.join();
        d.recording = false;
        d.CloseFile();
        std::error_code ignored;
        std::filesystem::remove(TakePath(), ignored);
        return false;
    }
    return true;
}

void WaveCapture::Stop() {
    Impl& d = *impl_;
    if (!d.recording)
        return;
    d.source->Stop();
    d.stopping.store(true, std::memory_order_release);
    d.worker.join();
    d.recording = false;
    d.CloseFile();
}

bool WaveCapture::Recording() const {
    return impl_->recording;
}

bool WaveCapture::SourceFinished() const {
    return impl_->source && impl_->source->Finished();
}

bool WaveCapture::Trim(bool begin, bool end, std::uint32_t& removed, std::string& error) {
    removed = 0;
    if (impl_->recording) {
        error = "The recording is still running.";
        return false;
    }
    return WaveTrim::Trim(TakePath(), impl_->search.minVolume, begin, end, removed, error);
}

std::size_t WaveCapture::FrameCount() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->frames.size();
}

bool WaveCapture::GetFrame(std::size_t index, FrequencyAnalysisSegment& frame) const {
    std::lock_guard lock(impl_->mutex);
    if (index >= impl_->frames.size())
        return false;
    frame = impl_->frames[index];
    return true;
}

std::uint64_t WaveCapture::CapturedSamples() const {
    return impl_->captured.load(std::memory_order_acquire);
}

std::uint64_t WaveCapture::AnalysedSamples() const {
    return impl_->analysed.load(std::memory_order_acquire);
}

std::uint64_t WaveCapture::LostSamples() const {
    return impl_->lost.load(std::memory_order_relaxed);
}

std::string WaveCapture::Problem() const {
    std::lock_guard lock(impl_->mutex);
    if (!impl_->problem.empty() || LostSamples() == 0)
        return impl_->problem;
    return std::to_string(LostSamples()) +
           " samples were lost: writing the recording could not keep up.";
}

const std::string& WaveCapture::EventName() const {
    return impl_->eventName;
}
