#include "model/MusicalTime.h"

#include <cstdio>

AString FormatMusicalTime(const MusicalTime& time) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%ld:%d:%d", static_cast<long>(time.measure) + 1, time.beat + 1,
                  time.tick);
    return AString(buf);
}

bool ParseNumbers(const AString& text, std::string_view separator, std::span<long> values) {
    std::size_t pos = 0;
    AString part;
    for (long& value : values) {
        if (!text.NextToken(pos, separator, part))
            return false;
        part.Trim();
        bool ok = false;
        value = part.ToInt(&ok);
        if (!ok)
            return false;
    }
    return pos >= text.Length();
}

bool ParseMusicalTime(const AString& text, MusicalTime& time) {
    long values[3];
    if (!ParseNumbers(text, ":", values) || values[0] < 1 || values[1] < 1 || values[2] < 0)
        return false;
    time =
        MusicalTime{static_cast<std::int32_t>(values[0] - 1),
                    static_cast<std::int32_t>(values[1] - 1), static_cast<std::int32_t>(values[2])};
    return true;
}
