// Thru latency while recording MIDI: from the moment an input port's callback hands a
// note to the recorder to the start of the audio block in which the built-in synthesizer
// plays it. 10,000 notes come from the scripted input in real time (a note every 4 ms,
// let go 2 ms later); the sound card is stood in for by a thread that asks the
// synthesizer for 64 frames at a time at 44.1 kHz, on the wall clock. The recorder is
// drained every 20 ms, as the recording dialog does. Like the synthesizer library's own
// audio drivers, the stand-in asks for real-time priority for its thread (and says whether
// it got it); the input thread has ordinary priority, as the MIDI library's has.
// Usage: bench_thru [--ordinary] [NOTES]   (--ordinary: the audio thread at ordinary priority)
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <pthread.h>
#include <sched.h>
#include <string>
#include <thread>
#include <vector>

#include "playback/AudioDevice.h"
#include "playback/LiveSynth.h"
#include "playback/PlayerEngine.h"
#include "playback/SynthRenderer.h"
#include "record/MidiRecorder.h"
#include "record/ScriptedMidiInput.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 64;

// The moments messages reached the recorder and the moments they were played, by order
// of arrival (one port: its thru lane keeps that order).
struct Stamps {
    explicit Stamps(std::size_t count) : received(count), applied(count) {}
    std::vector<Clock::time_point> received;
    std::vector<Clock::time_point> applied;
    std::atomic<std::size_t> receivedCount{0};
};

// Notes the time each message is handed to the recorder, then hands it on.
class StampingReceiver : public MidiInputReceiver {
public:
    StampingReceiver(MidiInputReceiver& next, Stamps& stamps) : next_(next), stamps_(stamps) {}
    void Receive(const std::uint8_t* bytes, std::size_t size, std::uint32_t ms) override {
        const std::size_t i = stamps_.receivedCount.load(std::memory_order_relaxed);
        if (i < stamps_.received.size())
            stamps_.received[i] = Clock::now();
        stamps_.receivedCount.store(i + 1, std::memory_order_release);
        next_.Receive(bytes, size, ms);
    }
    void Fault(Trouble trouble, std::uint32_t message, std::uint32_t ms) override {
        next_.Fault(trouble, message, ms);
    }

private:
    MidiInputReceiver& next_;
    Stamps& stamps_;
};

class StampingInputs : public MidiInputSystem {
public:
    StampingInputs(MidiInputSystem& inner, Stamps& stamps) : inner_(inner), stamps_(stamps) {}
    std::vector<MidiInputPortInfo> Ports() override { return inner_.Ports(); }
    std::unique_ptr<MidiInputPort> Open(std::size_t index, MidiInputReceiver& receiver,
                                        AString& error) override {
        receivers_.push_back(std::make_unique<StampingReceiver>(receiver, stamps_));
        return inner_.Open(index, *receivers_.back(), error);
    }

private:
    MidiInputSystem& inner_;
    Stamps& stamps_;
    std::vector<std::unique_ptr<StampingReceiver>> receivers_;
};

// A sound card asking for 64 frames on time, every 64 / 44100 s; notes the start of the
// block that played each thru message.
class BlockClock : public AudioStandIn {
public:
    BlockClock(Stamps& stamps, bool realTime) : stamps_(stamps), wantRealTime_(realTime) {}
    ~BlockClock() override { Stop(); }
    void Watch(LiveSynth* synth) { synth_.store(synth); }
    bool Open(AudioSource& source) override {
        quit_ = false;
        thread_ = std::thread([this, &source] { Run(source); });
        return true;
    }
    void Close(AudioSource&) override { Stop(); }
    std::uint64_t Blocks() const { return blocks_.load(); }
    bool RealTime() const { return realTime_.load(); }
    std::uint64_t Overruns() const { return overruns_.load(); }

private:
    void Stop() {
        quit_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    void Run(AudioSource& source) {
        sched_param priority{};
        priority.sched_priority = 60;
        realTime_ =
            wantRealTime_ && pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) == 0;
        std::vector<float> left(kFrames), right(kFrames);
        const auto period = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(double{kFrames} / SynthRenderer::kSampleRate));
        auto due = Clock::now();
        std::uint64_t seen = 0;
        std::size_t next = 0;
        while (!quit_) {
            std::this_thread::sleep_until(due);
            const auto start = Clock::now();
            source.Render(left.data(), right.data(), kFrames);
            ++blocks_;
            if (LiveSynth* synth = synth_.load()) {
                const std::uint64_t applied = synth->ThruApplied();
                for (; seen < applied; ++seen, ++next)
                    if (next < stamps_.applied.size())
                        stamps_.applied[next] = start;
            }
            due += period;
            if (Clock::now() > due)
                ++overruns_;
        }
    }

    Stamps& stamps_;
    const bool wantRealTime_;
    std::atomic<LiveSynth*> synth_{nullptr};
    std::atomic<bool> quit_{false};
    std::atomic<bool> realTime_{false};
    std::atomic<std::uint64_t> blocks_{0};
    std::atomic<std::uint64_t> overruns_{0};
    std::thread thread_;
};

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

} // namespace

int main(int argc, char** argv) {
    bool realTime = true;
    int notes = 10000;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--ordinary")
            realTime = false;
        else
            notes = std::max(1, std::atoi(argv[i]));
    }
    // The stand-in is the sound card here, whatever the environment asks for.
    unsetenv("VORLAUNE_AUDIO_DRIVER");

    ScriptedMidiPort port;
    port.info = {"bench", 1, 0};
    for (int i = 0; i < notes; ++i) {
        const auto at = static_cast<std::uint32_t>(i * 4);
        const auto key = static_cast<std::uint8_t>(48 + i % 36);
        port.messages.push_back({at, {0x90, key, 100}, 3});
        port.messages.push_back({at + 2, {0x80, key, 0}, 3});
    }
    std::vector<ScriptedMidiPort> ports;
    ports.push_back(std::move(port));
    ScriptedMidiInput script(std::move(ports), 1.0);
    Stamps stamps(static_cast<std::size_t>(notes) * 2);
    StampingInputs inputs(script, stamps);

    BlockClock clock(stamps, realTime);
    AudioDevice::SetStandIn(&clock);
    PlayerEngine engine;
    engine.SetOutputDevice(MidiPlayer::kBuiltInSynthesizer);
    if (engine.SoundFont().empty()) {
        std::fprintf(stderr, "bench_thru: no General MIDI SoundFont is installed\n");
        return 1;
    }
    MidiRecorder recorder(inputs, &engine);
    recorder.ReadSettings(nullptr);
    std::optional<MidiDeviceReport> report;
    // Thru opens the synthesizer before the port starts.
    if (!recorder.Start(report) || !engine.ThruSynth()) {
        std::fprintf(stderr, "bench_thru: recording with thru to the synthesizer did not start\n");
        return 1;
    }
    clock.Watch(engine.ThruSynth());
    const auto begin = Clock::now();
    MidiRecorderMessage m;
    std::size_t drained = 0;
    while (!script.Finished()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (recorder.ReadMessage(m))
            ++drained;
    }
    // The last blocks play what is still in the lane.
    const std::size_t total = stamps.received.size();
    const auto settle = Clock::now() + std::chrono::seconds(2);
    while (engine.ThruSynth()->ThruApplied() < total && Clock::now() < settle)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const std::uint64_t applied = engine.ThruSynth()->ThruApplied();
    clock.Watch(nullptr);
    recorder.Stop(report);
    while (recorder.ReadMessage(m))
        ++drained;
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    engine.CloseThru();

    std::vector<double> latency; // ms, note-ons only
    for (std::size_t i = 0; i < std::min<std::size_t>(applied, total); i += 2)
        latency.push_back(std::max(
            0.0, std::chrono::duration<double, std::milli>(stamps.applied[i] - stamps.received[i])
                     .count()));
    if (latency.empty()) {
        std::fprintf(stderr, "bench_thru: no note reached the synthesizer\n");
        return 1;
    }
    std::printf("thru to the built-in synthesizer, %d-frame blocks at %d Hz (%.2f ms a block)\n",
                kFrames, SynthRenderer::kSampleRate, 1000.0 * kFrames / SynthRenderer::kSampleRate);
    std::printf("notes %zu, messages recorded %zu of %zu, played thru %llu, in %.1f s\n",
                latency.size(), drained, total, static_cast<unsigned long long>(applied), seconds);
    std::printf("blocks %llu, late blocks %llu, audio thread at %s priority\n",
                static_cast<unsigned long long>(clock.Blocks()),
                static_cast<unsigned long long>(clock.Overruns()),
                clock.RealTime() ? "real-time" : "ordinary");
    std::printf("latency ms: median %.3f  p99 %.3f  max %.3f\n", Percentile(latency, 0.5),
                Percentile(latency, 0.99), Percentile(latency, 1.0));
    AudioDevice::SetStandIn(nullptr);
    return report ? 2 : 0;
}
