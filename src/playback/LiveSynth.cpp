#include "playback/LiveSynth.h"

#include <algorithm>
#include <thread>

LiveSynth::LiveSynth() {
    // Made once: the audio thread reads the lanes without asking whether they exist.
    for (auto& lane : thru_)
        lane = std::make_unique<SpscRing<LiveMessage>>(512);
}

bool LiveSynth::Open(const std::filesystem::path& soundFont, const AString& driver,
                     AString& error) {
    if (device_.IsOpen())
        return true;
    if (!loaded_) {
        if (!renderer_.Load(soundFont, error))
            return false;
        loaded_ = true;
    }
    return device_.Open(renderer_.Settings(), *this, error, driver);
}

void LiveSynth::Attach(PlayContext* context) {
    // The generation first: a callback that sees the new play also sees that it is new.
    generation_.fetch_add(1);
    context_.store(context);
}

void LiveSynth::Detach() {
    context_.store(nullptr);
    // The callback that may still hold the context finishes before the play goes away.
    while (rendering_.load() > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void LiveSynth::Retire(RetiredSounds::Sounds sounds) {
    retired_.Retire(++tickets_, std::move(sounds), IsOpen());
}

void LiveSynth::Collect() {
    retired_.Collect(IsOpen());
}

bool LiveSynth::SendLive(const std::uint8_t* bytes, int size) {
    if (!IsOpen() || size < 1 || size > 3)
        return false;
    LiveMessage message;
    std::copy_n(bytes, size, message.bytes);
    message.size = static_cast<std::uint8_t>(size);
    return live_.Push(message);
}

bool LiveSynth::SendThru(int lane, const std::uint8_t* bytes, int size) {
    if (lane < 0 || lane >= kThruLanes || size < 1 || size > 3)
        return false;
    LiveMessage message;
    std::copy_n(bytes, size, message.bytes);
    message.size = static_cast<std::uint8_t>(size);
    return thru_[static_cast<std::size_t>(lane)]->Push(message);
}

void LiveSynth::Render(float* left, float* right, int frames) {
    rendering_.fetch_add(1);
    PlayContext* context = context_.load();
    const unsigned generation = generation_.load();
    // Read after the play: a stop asked for before it was attached is seen with it, and
    // carried out before its first sound.
    const std::uint64_t stop = retired_.Requested();
    if (stop != served_) {
        renderer_.StopSounds();
        retired_.Acknowledge(stop);
        served_ = stop;
    }
    if (context && generation != seenGeneration_) {
        seenGeneration_ = generation;
        renderer_.BeginPlay();
    }
    for (const LiveMessage* m = live_.Peek(); m; m = live_.Peek()) {
        renderer_.SendMidi(m->bytes, m->size, 0);
        live_.Pop();
    }
    std::uint64_t applied = 0;
    for (auto& lane : thru_)
        for (const LiveMessage* m = lane->Peek(); m; m = lane->Peek()) {
            renderer_.SendMidi(m->bytes, m->size, 0);
            lane->Pop();
            ++applied;
        }
    if (applied)
        thruApplied_.fetch_add(applied, std::memory_order_release);
    renderer_.Render(context, left, right, frames);
    rendering_.fetch_sub(1);
}

bool LiveSynth::Output::Start(PlayContext& context, AString& error) {
    if (!synth_.IsOpen()) {
        error = "The built-in synthesizer is not open.";
        return false;
    }
    synth_.Attach(&context);
    attached_ = true;
    return true;
}

void LiveSynth::Output::Stop() {
    if (attached_)
        synth_.Detach();
    attached_ = false;
}
