#include "record/ScriptedMidiInput.h"

#include <algorithm>
#include <thread>
#include <variant>

#include "midifile/MidiReader.h"

class ScriptedMidiInput::Port : public MidiInputPort {
public:
    Port(ScriptedMidiInput& owner, const std::vector<TimedMidiMessage>& messages,
         MidiInputReceiver& receiver)
        : owner_(owner), messages_(messages), receiver_(receiver) {}
    ~Port() override { Stop(); }

    bool Start(AString&) override {
        if (thread_.joinable())
            return true;
        owner_.PortStarted();
        thread_ = std::thread([this] { Play(); });
        return true;
    }

    void Stop() override {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

private:
    void Play() {
        const auto start = std::chrono::steady_clock::now();
        for (const TimedMidiMessage& m : messages_) {
            if (owner_.speed_ > 0) {
                const auto due =
                    start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double, std::milli>(m.ms / owner_.speed_));
                std::unique_lock lock(mutex_);
                if (wake_.wait_until(lock, due, [this] { return quit_; }))
                    return;
            } else if (std::lock_guard lock(mutex_); quit_) {
                return;
            }
            receiver_.Receive(m.bytes, m.size, m.ms);
        }
        owner_.PortFinished();
    }

    ScriptedMidiInput& owner_;
    const std::vector<TimedMidiMessage>& messages_;
    MidiInputReceiver& receiver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;
    std::thread thread_;
};

ScriptedMidiInput::ScriptedMidiInput(std::vector<ScriptedMidiPort> ports, double speed)
    : ports_(std::move(ports)), speed_(speed) {}

ScriptedMidiInput::~ScriptedMidiInput() = default;

std::vector<MidiInputPortInfo> ScriptedMidiInput::Ports() {
    std::vector<MidiInputPortInfo> infos;
    for (const ScriptedMidiPort& port : ports_)
        infos.push_back(port.info);
    return infos;
}

std::unique_ptr<MidiInputPort>
ScriptedMidiInput::Open(std::size_t index, MidiInputReceiver& receiver, AString& error) {
    if (index >= ports_.size()) {
        error = "The port is no longer there.";
        return nullptr;
    }
    if (ports_[index].refuseOpen) {
        error = ports_[index].openError;
        return nullptr;
    }
    return std::make_unique<Port>(*this, ports_[index].messages, receiver);
}

void ScriptedMidiInput::PortStarted() {
    std::lock_guard lock(mutex_);
    ++started_;
}

void ScriptedMidiInput::PortFinished() {
    {
        std::lock_guard lock(mutex_);
        ++finished_;
    }
    changed_.notify_all();
}

bool ScriptedMidiInput::Finished() const {
    std::lock_guard lock(mutex_);
    return started_ > 0 && finished_ == started_;
}

bool ScriptedMidiInput::WaitFinished(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout,
                             [this] { return started_ > 0 && finished_ == started_; });
}

namespace {

struct StampedEvent {
    std::int64_t tick = 0;
    int order = 0; // note-offs before the rest at one tick: a key let go and struck again
    const MidiStreamBody* body = nullptr;
};

// The short messages one stream event becomes (none for meta and system exclusive).
void AppendMessages(const MidiStreamBody& body, std::uint32_t ms,
                    std::vector<TimedMidiMessage>& out) {
    auto add = [&](int status, int d1, int d2, int size) {
        TimedMidiMessage m;
        m.ms = ms;
        m.bytes[0] = static_cast<std::uint8_t>(status);
        m.bytes[1] = static_cast<std::uint8_t>(d1 & 0x7F);
        m.bytes[2] = static_cast<std::uint8_t>(d2 & 0x7F);
        m.size = static_cast<std::uint8_t>(size);
        out.push_back(m);
    };
    if (auto* on = std::get_if<MSMNoteOn>(&body))
        add(0x90 | on->channel, on->key, on->velocity, 3);
    else if (auto* off = std::get_if<MSMNoteOff>(&body))
        add(0x80 | off->channel, off->key, off->velocity, 3);
    else if (auto* pc = std::get_if<MSMProgramChange>(&body))
        add(0xC0 | pc->channel, pc->program, 0, 2);
    else if (auto* poly = std::get_if<MSMPolyAfterTouch>(&body))
        add(0xA0 | poly->channel, poly->key, poly->pressure, 3);
    else if (auto* cat = std::get_if<MSMChannelAfterTouch>(&body))
        add(0xD0 | cat->channel, cat->pressure, 0, 2);
    else if (auto* bend = std::get_if<MSMPitchWheel>(&body))
        add(0xE0 | bend->channel, bend->value & 0x7F, bend->value >> 7, 3);
    else if (auto* cc = std::get_if<MSMControlChange>(&body))
        add(0xB0 | cc->channel, cc->controller, cc->value, 3);
    else if (auto* bank = std::get_if<MSMBankSelect>(&body)) {
        add(0xB0 | bank->channel, 0, bank->bank >> 7, 3);
        add(0xB0 | bank->channel, 32, bank->bank & 0x7F, 3);
    }
}

} // namespace

bool ScriptedMidiInput::ReadMidiFile(const std::filesystem::path& file,
                                     std::vector<TimedMidiMessage>& messages, AString& error) {
    MidiStream stream;
    const FileResult read = MidiReader::Read(file, stream);
    if (!read) {
        error = read.Describe();
        return false;
    }
    std::vector<StampedEvent> events;
    for (const MidiStreamTrack& track : stream.tracks) {
        std::int64_t tick = 0;
        for (const MidiStreamMessage& m : track.messages) {
            tick += m.delta;
            events.push_back({tick, std::holds_alternative<MSMNoteOff>(m.body) ? 0 : 1, &m.body});
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const StampedEvent& a, const StampedEvent& b) {
                         return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
                     });
    // Milliseconds per tick: from the tempo map, or fixed for frame-based time.
    const bool frames = stream.ticksPerQuarter <= 0;
    const double msPerTickOfFrames = frames ? 1000.0 / (std::max(stream.smpteFramesPerSecond, 1) *
                                                        std::max(stream.ticksPerFrame, 1))
                                            : 0;
    const double ticksPerQuarter = std::max(stream.ticksPerQuarter, 1);
    double tempo = 500000;
    double ms = 0;
    std::int64_t last = 0;
    messages.clear();
    for (const StampedEvent& e : events) {
        ms += static_cast<double>(e.tick - last) *
              (frames ? msPerTickOfFrames : tempo / 1000.0 / ticksPerQuarter);
        last = e.tick;
        if (auto* t = std::get_if<MSMSetTempo>(e.body); t && t->microsPerQuarter > 0)
            tempo = t->microsPerQuarter;
        // Past a day the times mean nothing to a recording.
        AppendMessages(*e.body, static_cast<std::uint32_t>(std::min(ms, 86400000.0) + 0.5),
                       messages);
    }
    return true;
}

std::unique_ptr<ScriptedMidiInput>
ScriptedMidiInput::FromMidiFile(const std::filesystem::path& file, double speed, AString& error) {
    ScriptedMidiPort port;
    port.info = {"MIDI file " + file.filename().string(), 1, 0};
    if (!ReadMidiFile(file, port.messages, error))
        return nullptr;
    std::vector<ScriptedMidiPort> ports;
    ports.push_back(std::move(port));
    return std::make_unique<ScriptedMidiInput>(std::move(ports), speed);
}
