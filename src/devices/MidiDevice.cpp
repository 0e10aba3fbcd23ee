#include "devices/MidiDevice.h"

#include <cerrno>
#include <sstream>
#include <system_error>

#include "devices/DefinitionFiles.h"

MidiDevice::MidiDevice() = default;

MidiDevice::MidiDevice(const AString& fileName) {
    const std::filesystem::path path = DefinitionPath(fileName);
    std::string bytes;
    loaded_ = ReadDefinitionFile(path, bytes);
    if (!loaded_) {
        valid_ = false;
        return;
    }
    fileName_ = fileName;
    readOnly_ = IsReadOnlyFile(path);
    std::istringstream in(std::move(bytes));
    if (!ReadFrom(in))
        loaded_ = FileResult::Refused(path, kUnreadable);
}

bool MidiDevice::Exists(const AString& fileName) {
    if (fileName.IsEmpty())
        return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(DefinitionPath(fileName), ec);
}

void MidiDevice::MakeEmpty() {
    name_ = AString();
    controllerFiles_.Clear();
    controllers_.Clear();
    index_.fill(nullptr);
    channelSpecific_ = false;
    programChangeDelay_ = 0;
}

bool MidiDevice::ReadFrom(std::istream& in) {
    MakeEmpty();
    valid_ = false;
    DefinitionReader read(in);
    std::uint8_t marker = 0;
    std::uint32_t count = 0;
    if (!read.String(name_) || !read.U8(marker) || !read.U32(count)) {
        MakeEmpty();
        return false;
    }
    // Every entry takes at least one byte, so the end of the file bounds this loop
    // whatever the count claims.
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t present = 0;
        if (!read.U8(present))
            break;
        if (present == 0) {
            controllerFiles_.Add(nullptr);
            continue;
        }
        auto name = std::make_unique<AString>();
        if (present != 1 || !read.String(*name)) {
            MakeEmpty();
            return false;
        }
        std::string text = name->str();
        for (char& c : text)
            if (c == ' ')
                c = '_';
        *name = AString(std::move(text));
        controllerFiles_.Add(std::move(name));
    }
    std::uint8_t flag = 0;
    if (read.U8(flag))
        channelSpecific_ = flag != 0;
    read.U16(programChangeDelay_);
    valid_ = true;
    return true;
}

std::string MidiDevice::Bytes() const {
    DefinitionWriter out;
    out.String(name_);
    out.U8(kListMarker);
    out.U32(static_cast<std::uint32_t>(controllerFiles_.Count()));
    for (const AString* file : controllerFiles_) {
        if (!file) {
            out.U8(0);
            continue;
        }
        out.U8(1);
        out.String(*file);
    }
    out.U8(channelSpecific_ ? 1 : 0);
    out.U16(programChangeDelay_);
    return out.Bytes();
}

FileResult MidiDevice::Write() {
    if (fileName_.IsEmpty()) {
        fileName_ = DeriveDefinitionFileName(name_, ".MDV", DefinitionDirectory());
        if (fileName_.IsEmpty())
            return FileResult::FromErrno(DefinitionPath(name_), EEXIST);
    }
    return ReplaceFileContents(DefinitionPath(fileName_), Bytes());
}

bool MidiDevice::HasControllerFile(const AString& name) const {
    for (const AString* file : controllerFiles_)
        if (file && *file == name)
            return true;
    return false;
}

void MidiDevice::ClearControllerFiles() {
    controllerFiles_.Clear();
}

void MidiDevice::AddControllerFile(const AString& name) {
    controllerFiles_.Add(std::make_unique<AString>(name));
}

void MidiDevice::LoadControllers() {
    controllers_.Clear();
    index_.fill(nullptr);
    for (const AString* file : controllerFiles_) {
        // Checked first: a listed file that has gone is skipped without a message box.
        if (!file || !Exists(*file))
            continue;
        auto controller = std::make_unique<MidiController>(*file);
        if (!controller->IsValid())
            continue;
        const int number = controller->Number();
        MidiController* added = controllers_.Add(std::move(controller));
        if (number >= 0 && number < static_cast<int>(index_.size()))
            index_[static_cast<std::size_t>(number)] = added;
    }
}

MidiController* MidiDevice::Controller(int number) const {
    if (number < 0 || number >= static_cast<int>(index_.size()))
        return nullptr;
    return index_[static_cast<std::size_t>(number)];
}

void InstallMidiDeviceLoader() {
    SetSongDeviceLoader([](const AString& fileName) -> std::unique_ptr<SongDevice> {
        auto device = std::make_unique<MidiDevice>(fileName);
        device->LoadControllers();
        return device;
    });
}
