#pragma once

#include <optional>

#include "util/AString.h"
#include "util/Messages.h"

// The numeric fields of the definition dialogs take typed text. Text that is no whole
// number, or one outside [low, high], is refused with the validation message and leaves
// `value` alone.
std::optional<Message> ReadRangedField(const AString& text, long low, long high, long& value);

// The title of the definition dialogs' validation messages.
constexpr const char* kValidationTitle = "Validation Error";
