#include "devices/RangedField.h"

#include <cerrno>
#include <cstdlib>
#include <string>

std::optional<Message> ReadRangedField(const AString& text, long low, long high, long& value) {
    std::string digits = text.str();
    const auto first = digits.find_first_not_of(' ');
    const auto last = digits.find_last_not_of(' ');
    digits = first == std::string::npos ? std::string() : digits.substr(first, last - first + 1);
    errno = 0;
    char* end = nullptr;
    const long read = std::strtol(digits.c_str(), &end, 10);
    if (!digits.empty() && *end == '\0' && errno == 0 && read >= low && read <= high) {
        value = read;
        return std::nullopt;
    }
    return Message{kValidationTitle,
                   AString("Input not in range(") + AString::FromInt(low) + " to " +
                       AString::FromInt(high) + ")",
                   MessageIcon::Stop, MessageButtons::Ok};
}
