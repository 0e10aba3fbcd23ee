#include "devices/MidiController.h"

#include <cerrno>
#include <cstdio>
#include <sstream>
#include <system_error>

#include "devices/DefinitionFiles.h"
#include "devices/RangedField.h"
#include "util/Messages.h"

MidiController::MidiController() : name_("Undefined") {}

MidiController::MidiController(const AString& fileName) {
    const std::filesystem::path path = DefinitionPath(fileName);
    std::string bytes;
    loaded_ = ReadDefinitionFile(path, bytes);
    if (!loaded_) {
        high_ = 127;
        valid_ = false;
        ShowMessage("", AString(loaded_.Explain("Bad Read")), MessageIcon::Exclamation);
        return;
    }
    fileName_ = fileName;
    readOnly_ = IsReadOnlyFile(path);
    std::istringstream in(std::move(bytes));
    if (!ReadFrom(in))
        loaded_ = FileResult::Refused(path, kUnreadable);
}

bool MidiController::ReadFrom(std::istream& in) {
    DefinitionReader read(in);
    std::uint8_t marker = 0;
    valid_ = read.U8(marker) && marker == static_cast<std::uint8_t>(kMarker);
    if (!valid_)
        return false;
    std::uint8_t onOff = 0;
    std::int16_t number = 0, low = 0, high = 0, defaultValue = 0;
    AString name;
    if (!read.I16(number) || !read.U8(onOff) || !read.I16(low) || !read.I16(high) ||
        !read.I16(defaultValue) || !read.String(name)) {
        valid_ = false;
        return false;
    }
    number_ = number;
    onOff_ = onOff != 0;
    low_ = low;
    high_ = high;
    default_ = defaultValue;
    name_ = name;
    return true;
}

std::string MidiController::Bytes() const {
    DefinitionWriter out;
    out.U8(static_cast<std::uint8_t>(kMarker));
    out.U16(static_cast<std::uint16_t>(number_));
    out.U8(onOff_ ? 1 : 0);
    out.U16(static_cast<std::uint16_t>(low_));
    out.U16(static_cast<std::uint16_t>(high_));
    out.U16(static_cast<std::uint16_t>(default_));
    out.String(name_);
    return out.Bytes();
}

FileResult MidiController::Write() {
    if (fileName_.IsEmpty()) {
        fileName_ = DeriveDefinitionFileName(name_, ".CTR", DefinitionDirectory());
        if (fileName_.IsEmpty())
            return FileResult::FromErrno(DefinitionPath(name_), EEXIST);
    }
    return ReplaceFileContents(DefinitionPath(fileName_), Bytes());
}

bool MidiController::Delete() {
    if (fileName_.IsEmpty())
        return false;
    std::error_code ec;
    return std::filesystem::remove(DefinitionPath(fileName_), ec);
}

std::optional<Message> MidiController::ApplyEdit(const AString& name, std::int16_t number,
                                                 bool onOff, std::int16_t low, std::int16_t high,
                                                 std::int16_t defaultValue) {
    if (onOff) {
        low = 0;
        high = 127;
        if (defaultValue < low || defaultValue > high)
            defaultValue = 0;
    }
    if (low > high)
        return Message{kValidationTitle, "Low range is higher than the high range.",
                       MessageIcon::Stop, MessageButtons::Ok};
    if (defaultValue < low || defaultValue > high)
        return Message{kValidationTitle, "Default value not within range.", MessageIcon::Stop,
                       MessageButtons::Ok};
    name_ = name;
    number_ = number;
    onOff_ = onOff;
    low_ = low;
    high_ = high;
    default_ = defaultValue;
    return std::nullopt;
}

AString MidiController::ListEntry() const {
    char number[16];
    std::snprintf(number, sizeof number, "%3d: ", number_);
    return AString(number) + name_;
}

AString MidiController::DeviceEntry() const {
    return AString::FromInt(number_) + ": " + name_;
}
