#include "record/MidiDeviceReport.h"

namespace {

AString DeviceLine(const MidiInputPortInfo& info) {
    return AString(info.name) + " " + AString::FromInt(info.versionMajor) + "." +
           AString::FromInt(info.versionMinor);
}

const char* Heading(int status) {
    switch (status) {
    case MidiDeviceReport::kDriverError:
        return "Error occurred while recording from MIDI device: ";
    case MidiDeviceReport::kLongMessageError:
        return "Long Message Error occurred while recording from MIDI device: ";
    case MidiDeviceReport::kTooFast:
        return "MIDI Messages came in too fast. Midi device: ";
    default:
        return "Unknown error occurred. Midi device: ";
    }
}

} // namespace

bool MidiDeviceReport::HasProblem() const {
    if (entries.empty())
        return true;
    for (const Entry& e : entries)
        if (e.status != kFine)
            return true;
    return false;
}

std::vector<Message> MidiDeviceReport::Messages() const {
    std::vector<Message> messages;
    auto add = [&](AString text) {
        messages.push_back(Message{kAppTitle, std::move(text), MessageIcon::Exclamation});
    };
    if (entries.empty())
        add(kNoDevices);
    for (const Entry& e : entries) {
        if (e.status == kFine)
            continue;
        if (e.status == kNotOpened) {
            add(AString("Error opening MIDI recording device: \n") + DeviceLine(e.info) + "\n" +
                e.openError);
            continue;
        }
        add(AString(Heading(e.status)) + DeviceLine(e.info) +
            "\nMessage: " + AString::FromInt(static_cast<long>(e.message)) +
            " Time Stamp: " + AString::FromInt(static_cast<long>(e.time)));
    }
    return messages;
}

void MidiDeviceReport::Show() const {
    for (const Message& m : Messages())
        ShowMessage(m);
}
