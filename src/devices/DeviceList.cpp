#include "devices/DeviceList.h"

#include "devices/DefinitionFiles.h"

DeviceList::Entry DeviceList::EntryOf(const MidiDevice& device, const AString& fileName) {
    Entry entry;
    entry.fileName = fileName;
    entry.valid = device.IsValid() && device.LoadResult().Ok();
    entry.name = entry.valid ? device.Name() : fileName;
    entry.readOnly = IsReadOnlyFile(DefinitionPath(fileName));
    return entry;
}

void DeviceList::Load() {
    entries_.clear();
    for (const AString& file : DefinitionFileNames(".MDV"))
        entries_.push_back(EntryOf(MidiDevice(file), file));
}

std::unique_ptr<MidiDevice> DeviceList::NewDevice() {
    auto device = std::make_unique<MidiDevice>();
    device->SetName(kNewName);
    return device;
}

std::optional<Message> DeviceList::Add(MidiDevice& device) {
    if (const FileResult written = device.Write(); !written)
        return WriteFailure(written);
    entries_.push_back(EntryOf(device, device.FileName()));
    return std::nullopt;
}

std::unique_ptr<MidiDevice> DeviceList::OpenForChange(std::size_t index,
                                                      std::optional<Message>& refusal) {
    refusal.reset();
    if (index >= entries_.size())
        return nullptr;
    auto device = std::make_unique<MidiDevice>(entries_[index].fileName);
    if (IsReadOnlyFile(DefinitionPath(entries_[index].fileName))) {
        refusal = DefinitionRefusal(kReadOnly);
        return nullptr;
    }
    if (!device->IsValid() || !device->LoadResult()) {
        refusal =
            DefinitionRefusal(AString(device->LoadResult().Explain("This Device cannot be read.")));
        return nullptr;
    }
    return device;
}

std::optional<Message> DeviceList::Store(std::size_t index, MidiDevice& device) {
    if (const FileResult written = device.Write(); !written)
        return WriteFailure(written);
    if (index < entries_.size())
        entries_[index] = EntryOf(device, device.FileName());
    return std::nullopt;
}

std::optional<Message> DeviceList::Delete(std::size_t index) {
    if (index >= entries_.size())
        return std::nullopt;
    if (auto refusal = DeleteDefinition(entries_[index].fileName, kReadOnly))
        return refusal;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    return std::nullopt;
}

int DeviceList::IndexOf(const AString& fileName) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].fileName == fileName)
            return static_cast<int>(i);
    return -1;
}
