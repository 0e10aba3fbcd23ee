#pragma once

#include <span>

#include "util/AString.h"

// The range of a numeric setting. Values outside it are taken at the nearest bound, or
// at the caller's default where the setting says so.
struct SettingRange {
    const char* key;
    double low;
    double high;
    bool integer;
    bool outsideMeansDefault = false;
};

// The numeric settings of VORLAUNE.INI and the values that make sense for them.
class KnownSettings {
public:
    static std::span<const SettingRange> All();
    // Null for a key without a known range (keys compare without regard to case).
    static const SettingRange* Find(const AString& key);
};
