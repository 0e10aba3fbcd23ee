#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "util/FileResult.h"

// Files the program reads. Only regular files are opened: a folder, a pipe or a device
// named as input is refused with a reason instead of hanging the program (a pipe waits
// for a writer) or sizing a buffer from a folder's size.
class RegularFile {
public:
    static constexpr const char* kNotRegular = "Not a regular file";

    // Opens for reading; on success `fd` is the caller's to close. Never waits on a pipe.
    static FileResult Open(const std::filesystem::path& file, int& fd);
    // The whole file; refused with "File too large" when it holds more than `maxBytes`.
    static FileResult ReadAll(const std::filesystem::path& file, std::string& bytes,
                              std::size_t maxBytes);
    // Whether the file could be opened for reading.
    static FileResult Check(const std::filesystem::path& file);
};
