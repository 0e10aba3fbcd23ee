#include "devices/DefinitionFiles.h"

#include <algorithm>
#include <cerrno>
#include <istream>
#include <system_error>

#include "util/AtomicFile.h"
#include "util/INIFile.h"
#include "util/RegularFile.h"

namespace fs = std::filesystem;

fs::path DefinitionDirectory() {
    if (INIFile* ini = INIFile::Global())
        return ini->HomeDirectory();
    return {};
}

fs::path DefinitionPath(const AString& fileName) {
    return DefinitionDirectory() / fs::path(fileName.str());
}

std::vector<AString> DefinitionFileNames(const char* extension) {
    const fs::path folder = DefinitionDirectory().empty() ? fs::path(".") : DefinitionDirectory();
    const AString wanted(extension);
    std::vector<AString> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && AString(it->path().extension().string()) == wanted)
            names.emplace_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

AString DeriveDefinitionFileName(const AString& name, const char* extension,
                                 const fs::path& directory) {
    std::string base = name.IsEmpty() ? std::string("UNDEFINED") : name.str();
    for (char& c : base)
        if (c == ' ' || c == '/' || c == '\0')
            c = '_';
    if (base.size() > 8)
        base.resize(8);
    // A name of dots alone would name the folder or its parent.
    if (base.find_first_not_of('.') == std::string::npos)
        base = "UNDEFINED";

    static constexpr char kSequence[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::error_code ec;
    std::string candidate = base + extension;
    for (const char* next = kSequence; fs::exists(directory / candidate, ec); ++next) {
        if (*next == '\0')
            return AString();
        base.back() = *next;
        candidate = base + extension;
    }
    return AString(candidate);
}

bool IsReadOnlyFile(const fs::path& file) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (ec || !fs::exists(status))
        return false;
    return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

FileResult ReplaceFileContents(const fs::path& file, const std::string& bytes) {
    if (IsReadOnlyFile(file))
        return FileResult::FromErrno(file, EACCES);
    return AtomicFile::Replace(file, bytes);
}

Message DefinitionRefusal(const AString& text) {
    return Message{kAppTitle, text, MessageIcon::Stop, MessageButtons::Ok};
}

Message WriteFailure(const FileResult& result) {
    return DefinitionRefusal(AString(result.Explain("The definition could not be saved.")));
}

std::optional<Message> DeleteDefinition(const AString& fileName, const char* readOnlyText) {
    const fs::path file = DefinitionPath(fileName);
    if (IsReadOnlyFile(file))
        return DefinitionRefusal(readOnlyText);
    std::error_code ec;
    if (!fs::remove(file, ec) && ec)
        return DefinitionRefusal(AString(FileResult::FromErrno(file, ec.value())
                                             .Explain("The definition could not be deleted.")));
    return std::nullopt;
}

FileResult ReadDefinitionFile(const fs::path& file, std::string& bytes) {
    return RegularFile::ReadAll(file, bytes, kMaxDefinitionBytes);
}

bool DefinitionReader::U8(std::uint8_t& value) {
    char c;
    if (!in_.get(c))
        return false;
    value = static_cast<std::uint8_t>(c);
    return true;
}

bool DefinitionReader::U16(std::uint16_t& value) {
    unsigned char b[2];
    if (!in_.read(reinterpret_cast<char*>(b), 2))
        return false;
    value = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool DefinitionReader::I16(std::int16_t& value) {
    std::uint16_t raw;
    if (!U16(raw))
        return false;
    value = static_cast<std::int16_t>(raw);
    return true;
}

bool DefinitionReader::U32(std::uint32_t& value) {
    unsigned char b[4];
    if (!in_.read(reinterpret_cast<char*>(b), 4))
        return false;
    value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return true;
}

bool DefinitionReader::String(AString& value) {
    return value.ReadBinary(in_);
}

void DefinitionWriter::U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value & 0xFF));
    U8(static_cast<std::uint8_t>(value >> 8));
}

void DefinitionWriter::U32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        U8(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

void DefinitionWriter::String(const AString& value) {
    U32(static_cast<std::uint32_t>(value.Length()));
    bytes_ += value.str();
}
