#include "util/INIFile.h"

#include "util/AtomicFile.h"
#include "util/KnownSettings.h"
#include "util/RegularFile.h"
#include "util/SettingsReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

namespace {

INIFile* gIni = nullptr;

// The key of a setting line, or false for comments, blanks and lines without "=".
bool LineKey(const AString& line, AString& key) {
    if (line.IsEmpty() || line[0] == ';')
        return false;
    const long eq = line.Find("=");
    if (eq < 0)
        return false;
    key = line.Mid(0, static_cast<std::size_t>(eq));
    return true;
}

bool IsHomeDirKey(const AString& key) {
    return key == "HOMEDIR";
}

// A settings file is a few kilobytes; anything near this is not one.
constexpr std::size_t kMaxFileBytes = 4 << 20;

std::string Number(double value, bool integer) {
    char text[64];
    std::snprintf(text, sizeof text, integer ? "%.0f" : "%g", value);
    return text;
}

void NoteIgnored(const AString& key, const AString& value, const std::string& why) {
    SettingsReport::Global().Add(INIFile::kFileName, key.str() + "=" + value.str() + " " + why);
}

// Values of known settings are held to their range; the report says what was changed.
double Limit(const AString& key, const AString& text, double value, double defaultValue) {
    const SettingRange* range = KnownSettings::Find(key);
    if (!range || (value >= range->low && value <= range->high))
        return value;
    const double used =
        range->outsideMeansDefault ? defaultValue : std::clamp(value, range->low, range->high);
    NoteIgnored(key, text,
                "is outside " + Number(range->low, range->integer) + " to " +
                    Number(range->high, range->integer) + "; " +
                    (range->outsideMeansDefault ? std::string("the default")
                                                : Number(used, range->integer)) +
                    " is used");
    return used;
}

void NoteNotANumber(const AString& key, const AString& text) {
    if (KnownSettings::Find(key))
        NoteIgnored(key, text, "is not a number; the default is used");
}

} // namespace

INIFile::INIFile(std::filesystem::path homeDirectory) : home_(std::move(homeDirectory)) {}

INIFile* INIFile::Global() {
    return gIni;
}

void INIFile::SetGlobal(INIFile* ini) {
    gIni = ini;
}

bool INIFile::ReadString(const AString& key, AString& value) {
    if (IsHomeDirKey(key)) {
        value = AString(home_.string());
        return true;
    }
    std::string bytes;
    if (!RegularFile::ReadAll(FilePath(), bytes, kMaxFileBytes))
        return false;
    std::istringstream in(std::move(bytes));
    AString line, lineKey;
    while (line.ReadLine(in)) {
        if (!LineKey(line, lineKey) || lineKey.Compare(key) != 0)
            continue;
        AString rest = line.Mid(lineKey.Length() + 1);
        std::size_t skip = 0;
        while (skip < rest.Length() && rest[skip] == ' ')
            ++skip;
        value = rest.Mid(skip);
        return true;
    }
    value = AString();
    return false;
}

long INIFile::ReadInt(const AString& key, long defaultValue) {
    AString value;
    if (!ReadString(key, value) || value.IsEmpty())
        return defaultValue;
    // Blanks, an optional "-", blanks again, then digits.
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < value.Length() && (value[i] == ' ' || value[i] == '\t'))
            ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < value.Length() && value[i] == '-') {
        negative = true;
        ++i;
        skipBlanks();
    }
    bool ok = false;
    const long number = value.Mid(i).ToInt(&ok);
    if (!ok || i >= value.Length() || value[i] < '0' || value[i] > '9') {
        NoteNotANumber(key, value);
        return defaultValue;
    }
    return static_cast<long>(Limit(key, value, static_cast<double>(negative ? -number : number),
                                   static_cast<double>(defaultValue)));
}

double INIFile::ReadDouble(const AString& key, double defaultValue) {
    AString value;
    if (!ReadString(key, value) || value.IsEmpty())
        return defaultValue;
    bool ok = false;
    const double number = value.ToDouble(&ok);
    // "nan" and "inf" parse, but no setting means them.
    if (!ok || !std::isfinite(number)) {
        NoteNotANumber(key, value);
        return defaultValue;
    }
    return Limit(key, value, number, defaultValue);
}

void INIFile::CheckKnownSettings() {
    for (const SettingRange& range : KnownSettings::All()) {
        AString value;
        if (!ReadString(range.key, value) || value.IsEmpty())
            continue;
        if (range.integer)
            ReadInt(range.key, 0);
        else
            ReadDouble(range.key, 0.0);
    }
}

bool INIFile::WriteDouble(const AString& key, double value) {
    return WriteString(key, AString::FromDouble(value, 10));
}

bool INIFile::WriteInt(const AString& key, long value) {
    return WriteString(key, AString::FromInt(value));
}

bool INIFile::WriteString(const AString& key, const AString& value) {
    std::vector<AString> kept;
    {
        std::string bytes;
        if (!RegularFile::ReadAll(FilePath(), bytes, kMaxFileBytes))
            return false;
        std::istringstream in(std::move(bytes));
        AString line, lineKey;
        while (line.ReadLine(in))
            if (LineKey(line, lineKey) && lineKey.Compare(key) != 0)
                kept.push_back(line);
    }
    std::string text;
    for (const AString& line : kept)
        text += line.str() + '\n';
    text += key.str() + '=' + value.str() + '\n';
    // A failed write must never cost the user the settings already there.
    return static_cast<bool>(AtomicFile::Replace(FilePath(), text));
}

AString& INIFile::ReadValue(const AString& key) {
    if (!ReadString(key, result_))
        result_ = IsHomeDirKey(key) ? AString(home_.string()) : AString();
    return result_;
}
