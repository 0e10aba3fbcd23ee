#include "util/FileResult.h"

#include <system_error>

FileResult FileResult::FromErrno(std::filesystem::path file, int code) {
    FileResult result;
    result.ok_ = false;
    result.code_ = code;
    result.file_ = std::move(file);
    return result;
}

FileResult FileResult::Refused(std::filesystem::path file, std::string reason) {
    FileResult result;
    result.ok_ = false;
    result.file_ = std::move(file);
    result.reason_ = std::move(reason);
    return result;
}

std::string FileResult::Reason() const {
    if (ok_)
        return {};
    if (code_ != 0)
        return std::generic_category().message(code_);
    return reason_;
}

std::string FileResult::Describe() const {
    if (ok_)
        return {};
    return file_.empty() ? Reason() : file_.string() + ": " + Reason();
}

std::string FileResult::Explain(std::string_view text) const {
    std::string message(text);
    if (!ok_)
        message += "\n\n" + Describe();
    return message;
}
