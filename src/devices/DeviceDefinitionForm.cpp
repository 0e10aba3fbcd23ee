#include "devices/DeviceDefinitionForm.h"

#include <limits>

#include "devices/DefinitionFiles.h"
#include "devices/RangedField.h"

namespace {

// A listed file that has gone or cannot be read keeps its place under its file name, so
// that saving the device does not drop it unasked. Checked before reading, so that a
// missing file raises no message box.
DeviceDefinitionForm::Controller Describe(const AString& fileName) {
    if (MidiDevice::Exists(fileName)) {
        const MidiController controller(fileName);
        if (controller.IsValid())
            return {fileName, controller.DeviceEntry()};
    }
    return {fileName, fileName};
}

} // namespace

DeviceDefinitionForm::DeviceDefinitionForm(const MidiDevice& device)
    : name(device.Name()), channelSpecific(device.ChannelSpecificInstruments()),
      delay(AString::FromInt(device.ProgramChangeDelay())) {
    for (const AString* file : device.ControllerFiles())
        if (file)
            device_.push_back(Describe(*file));
    for (const AString& file : DefinitionFileNames(".CTR")) {
        if (device.HasControllerFile(file))
            continue;
        const MidiController controller(file);
        if (controller.IsValid())
            available_.push_back({file, controller.DeviceEntry()});
    }
}

int DeviceDefinitionForm::Move(std::vector<Controller>& from, std::vector<Controller>& to,
                               int index) {
    if (index < 0 || index >= static_cast<int>(from.size()))
        return from.empty() ? -1 : std::min(std::max(index, 0), static_cast<int>(from.size()) - 1);
    to.push_back(from[static_cast<std::size_t>(index)]);
    from.erase(from.begin() + index);
    return from.empty() ? -1 : std::min(index, static_cast<int>(from.size()) - 1);
}

int DeviceDefinitionForm::Add(int index) {
    return Move(available_, device_, index);
}

int DeviceDefinitionForm::Remove(int index) {
    return Move(device_, available_, index);
}

std::optional<Message> DeviceDefinitionForm::ApplyTo(MidiDevice& device) const {
    long ms = 0;
    if (auto refusal = ReadRangedField(delay, 0, std::numeric_limits<std::uint16_t>::max(), ms))
        return refusal;
    device.SetName(name);
    device.ClearControllerFiles();
    for (const Controller& c : device_)
        device.AddControllerFile(c.fileName);
    device.SetChannelSpecificInstruments(channelSpecific);
    device.SetProgramChangeDelay(static_cast<std::uint16_t>(ms));
    return std::nullopt;
}
