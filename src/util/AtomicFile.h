#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Replaces `target` with `bytes` so that the old file survives any failure: the bytes go
// to a temporary file in the same folder, are flushed and checked, and only then renamed
// over the target. A new file takes the permissions of the one it replaces.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         std::string* error = nullptr);
