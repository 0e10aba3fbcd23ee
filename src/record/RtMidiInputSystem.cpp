#include "record/RtMidiInputSystem.h"

#include <RtMidi.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "playback/RtMidiPorts.h"

namespace {

using namespace rtmidi_ports;

std::vector<Address> ListPorts() {
    // Where there is no MIDI system the library says so on standard error; to a
    // recording that is no news: it finds no ports, and says so in its own words.
    CaptureErrorStream quiet;
    std::vector<std::string> problems;
    return List<RtMidiIn>(problems);
}

// The library's version stands for the driver version the ports do not have.
void LibraryVersion(int& major, int& minor) {
    major = minor = 0;
    std::sscanf(RtMidi::getVersion().c_str(), "%d.%d", &major, &minor);
}

class RtMidiInputPort : public MidiInputPort {
public:
    RtMidiInputPort(std::unique_ptr<RtMidiIn> in, MidiInputReceiver& receiver)
        : in_(std::move(in)), receiver_(receiver) {}
    ~RtMidiInputPort() override { Stop(); }

    bool Start(AString& error) override {
        start_ = std::chrono::steady_clock::now();
        try {
            in_->setErrorCallback(&RtMidiInputPort::Problem, this);
            in_->setCallback(&RtMidiInputPort::Deliver, this);
        } catch (const RtMidiError& e) {
            error = e.getMessage();
            return false;
        }
        return true;
    }

    void Stop() override {
        // Closing joins the library's input thread: no delivery runs after it.
        if (in_ && in_->isPortOpen())
            in_->closePort();
    }

private:
    std::uint32_t Now() const {
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - start_)
                                              .count());
    }

    static void Deliver(double, std::vector<unsigned char>* message, void* data) {
        auto& self = *static_cast<RtMidiInputPort*>(data);
        if (!message || message->empty())
            return;
        const std::uint32_t ms = self.Now();
        if (message->size() > 3) {
            std::uint32_t packed = 0;
            for (std::size_t i = 0; i < 4; ++i)
                packed |= std::uint32_t{(*message)[i]} << (8 * i);
            self.receiver_.Fault(MidiInputReceiver::Trouble::LongMessage, packed, ms);
            return;
        }
        self.receiver_.Receive(message->data(), message->size(), ms);
    }

    // Errors the driver reports while the port runs (a lost connection, an overrun).
    static void Problem(RtMidiError::Type type, const std::string&, void* data) {
        if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING)
            return;
        auto& self = *static_cast<RtMidiInputPort*>(data);
        self.receiver_.Fault(MidiInputReceiver::Trouble::Driver, 0, self.Now());
    }

    std::unique_ptr<RtMidiIn> in_;
    MidiInputReceiver& receiver_;
    std::chrono::steady_clock::time_point start_;
};

} // namespace

std::vector<MidiInputPortInfo> RtMidiInputSystem::Ports() {
    int major = 0, minor = 0;
    LibraryVersion(major, minor);
    std::vector<MidiInputPortInfo> infos;
    for (const Address& port : ListPorts())
        infos.push_back({port.name, major, minor});
    return infos;
}

std::unique_ptr<MidiInputPort>
RtMidiInputSystem::Open(std::size_t index, MidiInputReceiver& receiver, AString& error) {
    const std::vector<Address> ports = ListPorts();
    if (index >= ports.size()) {
        error = "The port is no longer there.";
        return nullptr;
    }
    const Address& port = ports[index];
    CaptureErrorStream quiet;
    std::string why;
    try {
        auto in = std::make_unique<RtMidiIn>(port.api, kClientName);
        in->setErrorCallback(KeepError, &why);
        in->openPort(port.port, "Vorlaune in");
        if (!in->isPortOpen()) {
            error = why.empty() ? std::string("The port could not be opened.") : why;
            return nullptr;
        }
        in->setErrorCallback(IgnoreError, nullptr);
        // Only short messages are recorded; clocks and sensing would fill the ring.
        in->ignoreTypes(true, true, true);
        return std::make_unique<RtMidiInputPort>(std::move(in), receiver);
    } catch (const RtMidiError& e) {
        error = e.getMessage();
        return nullptr;
    }
}
