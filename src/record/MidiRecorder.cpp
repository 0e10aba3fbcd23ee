#include "record/MidiRecorder.h"

#include <array>
#include <bitset>
#include <utility>

#include "playback/MidiPlayer.h"
#include "util/INIFile.h"

// One opened port: its ring, and the receiver its thread delivers to.
class MidiRecorder::Device : public MidiInputReceiver {
public:
    Device(MidiInputPortInfo info, MidiPlayer* thru) : info_(std::move(info)), thru_(thru) {}
    // The port's thread ends before the ring it writes goes.
    ~Device() override { port.reset(); }

    void Receive(const std::uint8_t* bytes, std::size_t size, std::uint32_t ms) override {
        if (size == 0)
            return;
        // Thru first: the note sounds as soon as it can, the take can wait.
        if (lane >= 0 && bytes[0] >= 0x80 && bytes[0] < 0xF0) {
            thru_->SendThru(lane, bytes, static_cast<int>(size));
            if (size == 3)
                KeepHeld(bytes);
        }
        MidiRecordEntry entry;
        entry.status = bytes[0];
        entry.data1 = size > 1 ? bytes[1] : 0;
        entry.data2 = size > 2 ? bytes[2] : 0;
        entry.time = ms;
        ring_.Write(entry);
    }

    void Fault(Trouble trouble, std::uint32_t message, std::uint32_t ms) override {
        ring_.SetError(trouble == Trouble::LongMessage ? MidiRecordRing::kLongMessageError
                                                       : MidiRecordRing::kDriverError,
                       message, ms);
    }

    // Once the port has stopped: lets go of what thru still holds, so that no note rings
    // on after recording (its note-off will never come through).
    void ReleaseHeld() {
        for (std::uint8_t channel = 0; channel < 16; ++channel) {
            if (sustained_.test(channel)) {
                const std::uint8_t off[3] = {static_cast<std::uint8_t>(0xB0 | channel), 64, 0};
                thru_->SendThru(lane, off, 3);
            }
            for (std::uint8_t key = 0; key < 128; ++key)
                if (held_[channel].test(key)) {
                    const std::uint8_t off[3] = {static_cast<std::uint8_t>(0x80 | channel), key, 0};
                    thru_->SendThru(lane, off, 3);
                }
            held_[channel].reset();
        }
        sustained_.reset();
    }

    const MidiInputPortInfo& Info() const { return info_; }
    MidiRecordRing& Ring() { return ring_; }
    std::unique_ptr<MidiInputPort> port;
    // The thru lane: set before the port starts, read on its thread afterwards.
    int lane = -1;
    std::size_t index = 0;

private:
    void KeepHeld(const std::uint8_t* bytes) {
        const int kind = bytes[0] & 0xF0;
        const std::size_t channel = bytes[0] & 0x0F;
        const std::size_t key = bytes[1] & 0x7F;
        if (kind == 0x90 || kind == 0x80)
            held_[channel].set(key, kind == 0x90 && bytes[2] > 0);
        else if (kind == 0xB0 && bytes[1] == 64)
            sustained_.set(channel, bytes[2] >= 64);
    }

    MidiInputPortInfo info_;
    MidiPlayer* thru_;
    MidiRecordRing ring_;
    // What thru has sounding: written on the port's thread, read once it has stopped.
    std::array<std::bitset<128>, 16> held_{};
    std::bitset<16> sustained_;
};

MidiRecorder::MidiRecorder(MidiInputSystem& inputs, MidiPlayer* thru)
    : inputs_(inputs), thru_(thru) {}

MidiRecorder::~MidiRecorder() {
    std::optional<MidiDeviceReport> ignored;
    if (recording_)
        Stop(ignored);
}

void MidiRecorder::ReadSettings(INIFile* ini) {
    through_ = !ini || ini->ReadInt(kThroughSetting, 1) != 0;
    alwaysShow_ = ini && ini->ReadInt(kAlwaysShowSetting, 0) != 0;
}

bool MidiRecorder::Start(std::optional<MidiDeviceReport>& report) {
    if (recording_)
        Stop(report);
    devices_.clear();
    report.emplace();
    const std::vector<MidiInputPortInfo> ports = inputs_.Ports();
    if (ports.empty())
        return false;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        MidiDeviceReport::Entry entry;
        entry.info = ports[i];
        auto device = std::make_unique<Device>(ports[i], thru_);
        device->index = i;
        device->port = inputs_.Open(i, *device, entry.openError);
        if (device->port)
            devices_.push_back(std::move(device));
        else
            entry.status = MidiDeviceReport::kNotOpened;
        report->entries.push_back(std::move(entry));
    }
    if (through_ && thru_ && !devices_.empty()) {
        thruOpen_ = thru_->OpenThru(static_cast<int>(devices_.size()));
        if (thruOpen_)
            for (std::size_t d = 0; d < devices_.size(); ++d)
                devices_[d]->lane = static_cast<int>(d);
    }
    for (auto it = devices_.begin(); it != devices_.end();) {
        MidiDeviceReport::Entry& entry = report->entries[(*it)->index];
        if ((*it)->port->Start(entry.openError)) {
            ++it;
            continue;
        }
        entry.status = MidiDeviceReport::kNotOpened;
        it = devices_.erase(it);
    }
    if (!report->HasProblem())
        report.reset();
    recording_ = !devices_.empty();
    if (!recording_ && thruOpen_) {
        thru_->CloseThru();
        thruOpen_ = false;
    }
    return recording_;
}

bool MidiRecorder::ReadMessage(MidiRecorderMessage& message) {
    for (const auto& device : devices_) {
        if (!device->Ring().Read(message.entry))
            continue;
        message.device = device->index;
        return true;
    }
    return false;
}

bool MidiRecorder::Stop(std::optional<MidiDeviceReport>& report) {
    for (const auto& device : devices_) {
        device->port.reset(); // stops it: no delivery after this
        if (thruOpen_ && device->lane >= 0)
            device->ReleaseHeld();
    }
    if (thruOpen_)
        thru_->CloseThru();
    thruOpen_ = false;
    recording_ = false;

    MidiDeviceReport found;
    bool problem = false;
    for (const auto& device : devices_) {
        MidiRecordRing& ring = device->Ring();
        MidiDeviceReport::Entry entry;
        entry.info = device->Info();
        const int status = ring.ErrorStatus();
        // Lost messages are always told: the take is not what was played. Other errors
        // of a port that delivered messages only when asked for.
        if (status != MidiRecordRing::kNoError &&
            (alwaysShow_ || !ring.Received() || status == MidiRecordRing::kTooFast)) {
            entry.status = status;
            entry.message = ring.ErrorMessage();
            entry.time = ring.ErrorTime();
            problem = true;
        }
        found.entries.push_back(std::move(entry));
    }
    if (problem)
        report = std::move(found);
    else
        report.reset();
    return !problem;
}
