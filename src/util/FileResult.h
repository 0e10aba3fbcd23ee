#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// What became of reading or writing a file: success, or the file that failed and why, in
// the system's words ("Permission denied", "No space left on device") so that the user
// can act on it.
class FileResult {
public:
    // Success.
    FileResult() = default;
    // Failure with an errno value.
    static FileResult FromErrno(std::filesystem::path file, int code);
    // Failure with a reason of our own ("Not a regular file", what a parser found).
    static FileResult Refused(std::filesystem::path file, std::string reason);

    explicit operator bool() const { return ok_; }
    bool Ok() const { return ok_; }
    // The errno value, 0 for success and for reasons of our own.
    int Code() const { return code_; }
    const std::filesystem::path& File() const { return file_; }
    // "" on success.
    std::string Reason() const;
    // "FILE: REASON", "" on success.
    std::string Describe() const;
    // The program's own text, then an empty line and what went wrong; the text alone on
    // success.
    std::string Explain(std::string_view text) const;

private:
    bool ok_ = true;
    int code_ = 0;
    std::filesystem::path file_;
    std::string reason_;
};
