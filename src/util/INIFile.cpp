#include "util/INIFile.h"

#include "util/AtomicFile.h"

#include <cstdlib>
#include <fstream>
#include <system_error>
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
    std::ifstream in(FilePath(), std::ios::binary);
    if (!in)
        return false;
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
    if (!ok || i >= value.Length() || value[i] < '0' || value[i] > '9')
        return defaultValue;
    return negative ? -number : number;
}

double INIFile::ReadDouble(const AString& key, double defaultValue) {
    AString value;
    if (!ReadString(key, value) || value.IsEmpty())
        return defaultValue;
    bool ok = false;
    const double number = value.ToDouble(&ok);
    return ok ? number : defaultValue;
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
        std::ifstream in(FilePath(), std::ios::binary);
        if (!in)
            return false;
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
    return WriteFileAtomically(FilePath(), text);
}

AString& INIFile::ReadValue(const AString& key) {
    if (!ReadString(key, result_))
        result_ = IsHomeDirKey(key) ? AString(home_.string()) : AString();
    return result_;
}
