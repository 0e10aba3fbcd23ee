#pragma once

#include <RtMidi.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

// What the MIDI output ports and the recording inputs share of the MIDI library: the
// client name, how a port is found again, and keeping the library's complaints as texts.
namespace rtmidi_ports {

constexpr const char* kClientName = "Vorlaune";

// A port by the MIDI system it belongs to and its number there.
struct Address {
    RtMidi::Api api = RtMidi::UNSPECIFIED;
    unsigned port = 0;
    std::string name;
};

// The library reports problems through exceptions unless told otherwise; we want texts.
inline void KeepError(RtMidiError::Type, const std::string& text, void* data) {
    if (data)
        *static_cast<std::string*>(data) = text;
}

inline void IgnoreError(RtMidiError::Type, const std::string&, void*) {}

// The library writes some complaints straight to standard error before a callback can
// be installed; while this lives they are caught instead, to become part of our own
// message or to be dropped.
class CaptureErrorStream {
public:
    CaptureErrorStream() : old_(std::cerr.rdbuf(text_.rdbuf())) {}
    ~CaptureErrorStream() { std::cerr.rdbuf(old_); }
    CaptureErrorStream(const CaptureErrorStream&) = delete;
    CaptureErrorStream& operator=(const CaptureErrorStream&) = delete;
    // What was written, one line each, joined by spaces.
    std::string Text() const {
        std::istringstream lines(text_.str());
        std::string line, text;
        while (std::getline(lines, line))
            if (!line.empty())
                text += (text.empty() ? "" : " ") + line;
        return text;
    }

private:
    std::ostringstream text_;
    std::streambuf* old_;
};

// Every port of every MIDI system the library was built with, inputs (RtMidiIn) or
// outputs (RtMidiOut); what a system complained of goes to `problems`.
template <class Side> std::vector<Address> List(std::vector<std::string>& problems) {
    std::vector<Address> ports;
    std::vector<RtMidi::Api> apis;
    Side::getCompiledApi(apis);
    for (RtMidi::Api api : apis) {
        if (api == RtMidi::RTMIDI_DUMMY)
            continue;
        try {
            Side side(api, kClientName);
            std::string complaint;
            side.setErrorCallback(KeepError, &complaint);
            const unsigned count = side.getPortCount();
            for (unsigned i = 0; i < count; ++i)
                ports.push_back({api, i, side.getPortName(i)});
            if (!complaint.empty())
                problems.push_back(complaint);
        } catch (const RtMidiError& e) {
            problems.push_back(e.getMessage());
        }
    }
    return ports;
}

} // namespace rtmidi_ports
