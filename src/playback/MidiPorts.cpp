#include "playback/MidiPorts.h"

#include <RtMidi.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <sstream>

#include "playback/AudioDevice.h"
#include "playback/CueHost.h"
#include "playback/MidiSink.h"
#include "playback/PacedOutput.h"
#include "playback/RtMidiPorts.h"

namespace {

using namespace rtmidi_ports;

std::vector<Address> Ports(std::string* error) {
    AudioDevice::QuietLibraryLog();
    CaptureErrorStream captured;
    std::vector<std::string> problems;
    const std::vector<Address> ports = List<RtMidiOut>(problems);
    if (ports.empty() && error) {
        std::string text = captured.Text();
        for (const std::string& problem : problems)
            if (text.find(problem) == std::string::npos)
                text += (text.empty() ? "" : " ") + problem;
        *error = text;
    }
    return ports;
}

// Hands events to an open port; cue sounds to the cue output, if any.
class PortSink : public MidiSink {
public:
    PortSink(std::unique_ptr<RtMidiOut> out, CueHost* cues) : out_(std::move(out)), cues_(cues) {}
    void Bind(PlayContext* context) { context_ = context; }
    void SendMidi(const std::uint8_t* bytes, int size, std::int64_t) override {
        out_->sendMessage(bytes, static_cast<std::size_t>(size));
    }
    void StartSound(const SoundBuffer& sound, std::int64_t) override {
        if ((!cues_ || !cues_->IsOpen() || !cues_->Play(sound)) && context_)
            context_->Flag(PlayProblem::CueWithoutAudio);
    }
    void StopSounds() override {
        if (cues_ && cues_->IsOpen())
            cues_->StopAll();
    }

private:
    std::unique_ptr<RtMidiOut> out_;
    CueHost* cues_;
    PlayContext* context_ = nullptr;
};

class PortOutput : public PlayOutput {
public:
    PortOutput(std::unique_ptr<RtMidiOut> out, CueHost* cues)
        : sink_(std::move(out), cues), paced_(sink_) {}
    ~PortOutput() override { paced_.Stop(); }
    bool Start(PlayContext& context, AString& error) override {
        sink_.Bind(&context);
        return paced_.Start(context, error);
    }
    void Wake() override { paced_.Wake(); }
    void Stop() override { paced_.Stop(); }

private:
    PortSink sink_;
    PacedOutput paced_;
};

} // namespace

std::vector<std::string> ListOutputPorts(std::string* error) {
    std::vector<std::string> names;
    for (const Address& port : Ports(error))
        names.push_back(port.name);
    return names;
}

int FindOutputPort(const std::vector<std::string>& ports, const std::string& name) {
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    };
    const std::string wanted = lower(name);
    for (std::size_t i = 0; i < ports.size(); ++i)
        if (lower(ports[i]).find(wanted) != std::string::npos)
            return static_cast<int>(i);
    return -1;
}

namespace {

// Opens output port `index` under `portName`; null with `error` set.
std::unique_ptr<RtMidiOut> OpenPort(int index, const char* portName, AString& error) {
    std::string why;
    const std::vector<Address> ports = Ports(&why);
    if (index < 0 || static_cast<std::size_t>(index) >= ports.size()) {
        error = "MIDI output port " + AString::FromInt(index) + " does not exist";
        error += why.empty() ? AString(".") : " (" + AString(why) + ").";
        return nullptr;
    }
    const Address& port = ports[static_cast<std::size_t>(index)];
    std::string openError;
    CaptureErrorStream captured;
    try {
        auto out = std::make_unique<RtMidiOut>(port.api, kClientName);
        out->setErrorCallback(KeepError, &openError);
        out->openPort(port.port, portName);
        if (!out->isPortOpen()) {
            error = "Cannot open the MIDI output port " + AString(port.name) + " (" +
                    AString(openError) + ").";
            return nullptr;
        }
        // From here on a failed send is not worth a stop.
        out->setErrorCallback(IgnoreError, nullptr);
        return out;
    } catch (const RtMidiError& e) {
        error = "Cannot open the MIDI output port " + AString(port.name) + " (" +
                AString(e.getMessage()) + ").";
        return nullptr;
    }
}

} // namespace

std::unique_ptr<PlayOutput> OpenPortOutput(int index, CueHost* cues, AString& error) {
    std::unique_ptr<RtMidiOut> out = OpenPort(index, "Vorlaune out", error);
    if (!out)
        return nullptr;
    return std::make_unique<PortOutput>(std::move(out), cues);
}

struct LivePort::Port {
    std::unique_ptr<RtMidiOut> out;
};

LivePort::LivePort() = default;
LivePort::~LivePort() = default;

bool LivePort::Open(int index, AString& error) {
    if (port_ && index == index_)
        return true;
    port_.reset();
    std::unique_ptr<RtMidiOut> out = OpenPort(index, "Vorlaune live", error);
    if (!out)
        return false;
    port_ = std::make_unique<Port>();
    port_->out = std::move(out);
    index_ = index;
    return true;
}

void LivePort::Send(const std::uint8_t* bytes, int size) {
    if (port_ && size > 0)
        port_->out->sendMessage(bytes, static_cast<std::size_t>(size));
}
