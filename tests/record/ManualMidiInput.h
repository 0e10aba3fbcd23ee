#pragma once

#include <string>
#include <vector>

#include "record/MidiInputSystem.h"

// Input ports that deliver only when the test says so, on the test's own thread.
class ManualMidiInput : public MidiInputSystem {
public:
    struct PortState {
        MidiInputPortInfo info;
        bool refuseOpen = false;
        MidiInputReceiver* receiver = nullptr;
        bool started = false;
        bool stopped = false;
    };

    void AddPort(const std::string& name, bool refuseOpen = false) {
        ports.push_back({{name, 2, 1}, refuseOpen});
    }

    std::vector<MidiInputPortInfo> Ports() override {
        std::vector<MidiInputPortInfo> infos;
        for (const PortState& p : ports)
            infos.push_back(p.info);
        return infos;
    }

    std::unique_ptr<MidiInputPort> Open(std::size_t index, MidiInputReceiver& receiver,
                                        AString& error) override {
        if (ports[index].refuseOpen) {
            error = "The device is in use.";
            return nullptr;
        }
        ports[index].receiver = &receiver;
        return std::make_unique<Port>(ports[index]);
    }

    // Port `index` receives a message at `ms`.
    void Play(std::size_t index, std::uint8_t status, std::uint8_t d1, std::uint8_t d2,
              std::uint32_t ms) {
        const std::uint8_t bytes[3] = {status, d1, d2};
        const std::size_t size = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 2 : 3;
        ports[index].receiver->Receive(bytes, size, ms);
    }

    std::vector<PortState> ports;

private:
    class Port : public MidiInputPort {
    public:
        explicit Port(PortState& state) : state_(state) {}
        ~Port() override { Stop(); }
        bool Start(AString&) override { return state_.started = true; }
        void Stop() override { state_.stopped = state_.started; }

    private:
        PortState& state_;
    };
};
