#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "util/AString.h"
#include "util/FileResult.h"
#include "util/Messages.h"

// Device and controller definitions live one per file in the home directory. Names are
// always resolved against that folder; the current directory is never changed.

// The home directory of the installed settings, or an empty path (the current folder)
// when none is installed.
std::filesystem::path DefinitionDirectory();
// A definition file's full path; an absolute name is taken as it is.
std::filesystem::path DefinitionPath(const AString& fileName);

// The names of the files in the home directory whose extension is `extension` (".MDV"),
// in any letter case, sorted.
std::vector<AString> DefinitionFileNames(const char* extension);

// A file name derived from an object's name: "UNDEFINED" for an empty name, spaces (and
// path separators) made underscores, cut to 8 characters, then `extension` (".MDV").
// While that file exists in `directory`, the character before the extension runs through
// "0" to "9" and "A" to "Z". Empty when every candidate is taken.
AString DeriveDefinitionFileName(const AString& name, const char* extension,
                                 const std::filesystem::path& directory);

// No write permission for the owner stands in for the read-only attribute.
bool IsReadOnlyFile(const std::filesystem::path& file);

// Replaces the file through a temporary one beside it, so that a failed write leaves
// the old file intact. Refuses to replace a read-only file.
FileResult ReplaceFileContents(const std::filesystem::path& file, const std::string& bytes);

// What the definition dialogs show when they refuse: a stop message titled with the
// program's name.
Message DefinitionRefusal(const AString& text);
// The refusal for a definition file that could not be written.
Message WriteFailure(const FileResult& result);
// Deletes a definition file; a read-only one stays, refused with `readOnlyText`.
std::optional<Message> DeleteDefinition(const AString& fileName, const char* readOnlyText);

// Definitions are small; a file near this size is none.
constexpr std::size_t kMaxDefinitionBytes = 16 << 20;
// The whole file, refused when it is no regular file or too large.
FileResult ReadDefinitionFile(const std::filesystem::path& file, std::string& bytes);

// Little-endian fields of the binary definition files.
class DefinitionReader {
public:
    explicit DefinitionReader(std::istream& in) : in_(in) {}
    bool U8(std::uint8_t& value);
    bool U16(std::uint16_t& value);
    bool I16(std::int16_t& value);
    bool U32(std::uint32_t& value);
    // A length-prefixed string; false when the length runs past the end.
    bool String(AString& value);

private:
    std::istream& in_;
};

class DefinitionWriter {
public:
    void U8(std::uint8_t value) { bytes_ += static_cast<char>(value); }
    void U16(std::uint16_t value);
    void U32(std::uint32_t value);
    void String(const AString& value);
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};
