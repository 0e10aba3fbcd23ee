#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "util/AString.h"
#include "util/Refusal.h"

class CPCommand;
class Song;

// The time and key signature list and its entry dialog without their controls.
class SignatureEditing {
public:
    static constexpr long kNewEntry = -1;
    static constexpr std::int32_t kMaxNumerator = 99;
    static constexpr std::int32_t kMaxBar = 99999;

    // What the entry dialog shows and the user picks.
    struct Fields {
        std::int32_t bar = 1; // one-based
        std::int32_t numerator = 4;
        std::int32_t denominator = 4;
        int keyIndex = 0;       // into SignatureDialogKeyName: 0-12 major, 13-25 minor
        std::int32_t scale = 0; // mode 0-4
    };

    explicit SignatureEditing(Song& song) : song_(song) {}

    std::vector<AString> ListLines() const;
    // The fields for entry `index`, or for a new entry at `bar` with what is in force
    // there.
    Fields Open(long index, std::int32_t bar) const;
    // The first entry stays at the first bar.
    static bool BarEditable(long index) { return index != 0; }
    static bool Deletable(long index) { return index > 0; }

    // A minor key goes with a minor scale and a major key with the others; picking one
    // that does not fit the other makes the other follow.
    static std::int32_t ScaleForKey(int keyIndex, std::int32_t scale);
    static int KeyForScale(int keyIndex, std::int32_t scale);

    // Reads "3/4" into the numerator and denominator; false when it is not two numbers.
    static bool ReadTimeSignature(const AString& text, Fields& fields);

    Refusal Make(long index, const Fields& fields, std::unique_ptr<CPCommand>& command) const;
    Refusal MakeDelete(long index, std::unique_ptr<CPCommand>& command) const;

    static constexpr const char* kBadBar = "The bar must be from 1 to 99999.";
    static constexpr const char* kBadNumerator =
        "The time signature's upper number must be from 1 to 99.";
    static constexpr const char* kBadDenominator =
        "The time signature's lower number must be 1, 2, 4, 8, 16, 32, 64 or 128.";
    static constexpr const char* kNotATimeSignature =
        "Type the time signature as two numbers, for example 3/4.";
    static constexpr const char* kBarTaken =
        "There is already a time and key signature change at that bar.\n"
        "Change that entry instead.";
    static constexpr const char* kFirstStays =
        "The first time and key signature cannot be deleted.";

private:
    Song& song_;
};
