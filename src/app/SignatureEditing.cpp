#include "app/SignatureEditing.h"

#include <algorithm>

#include "edit/MC_DeleteTimeKey.h"
#include "edit/MC_SetTimeKeySig.h"
#include "model/MusicalTime.h"
#include "model/Song.h"
#include "model/TimeTexts.h"

namespace {

constexpr int kMinorFirst = 13;

bool IsMinorKey(int keyIndex) {
    return keyIndex >= kMinorFirst;
}
bool IsMinorScale(std::int32_t scale) {
    return scale == 1 || scale == 2;
}

int DialogKeyIndex(std::int32_t key, bool minor) {
    for (int i = minor ? kMinorFirst : 0; i < (minor ? kSignatureDialogKeyCount : kMinorFirst); ++i)
        if (SignatureDialogKeyValue(i) == key)
            return i;
    return minor ? kMinorFirst : 0;
}

bool PowerOfTwo(std::int32_t n) {
    return n >= 1 && n <= 128 && (n & (n - 1)) == 0;
}

} // namespace

std::vector<AString> SignatureEditing::ListLines() const {
    std::vector<AString> lines;
    for (std::size_t i = 0; i < song_.SignatureCount(); ++i)
        lines.push_back(SignatureListLine(*song_.GetSignature(i)));
    return lines;
}

SignatureEditing::Fields SignatureEditing::Open(long index, std::int32_t bar) const {
    const TimeAndKeySignature* entry =
        index >= 0 ? song_.GetSignature(static_cast<std::size_t>(index)) : nullptr;
    const TimeAndKeySignature& sig =
        entry ? *entry : song_.SignatureAtMeasure(std::max(bar - 1, 0));
    Fields fields;
    fields.bar = entry ? sig.measure + 1 : std::max(bar, 1);
    fields.numerator = sig.numerator;
    fields.denominator = sig.denominator;
    fields.scale = sig.mode >= 0 && sig.mode < 5 ? sig.mode : 0;
    fields.keyIndex = DialogKeyIndex(sig.key, IsMinorScale(fields.scale));
    return fields;
}

std::int32_t SignatureEditing::ScaleForKey(int keyIndex, std::int32_t scale) {
    if (IsMinorKey(keyIndex) != IsMinorScale(scale))
        return IsMinorKey(keyIndex) ? 1 : 0;
    return scale;
}

int SignatureEditing::KeyForScale(int keyIndex, std::int32_t scale) {
    if (IsMinorKey(keyIndex) == IsMinorScale(scale))
        return keyIndex;
    // The same signature on the other list: the relative major or minor.
    return DialogKeyIndex(SignatureDialogKeyValue(keyIndex), IsMinorScale(scale));
}

bool SignatureEditing::ReadTimeSignature(const AString& text, Fields& fields) {
    long values[2] = {0, 0};
    if (!ParseNumbers(text, "/", values))
        return false;
    // Out-of-range numbers are left for Make to name.
    fields.numerator = static_cast<std::int32_t>(std::clamp(values[0], -1L, 1000L));
    fields.denominator = static_cast<std::int32_t>(std::clamp(values[1], -1L, 1000L));
    return true;
}

Refusal SignatureEditing::Make(long index, const Fields& fields,
                               std::unique_ptr<CPCommand>& command) const {
    command.reset();
    const bool existing = index >= 0 && static_cast<std::size_t>(index) < song_.SignatureCount();
    const std::int32_t bar = existing && index == 0 ? 1 : fields.bar;
    if (bar < 1 || bar > kMaxBar)
        return kBadBar;
    if (fields.numerator < 1 || fields.numerator > kMaxNumerator)
        return kBadNumerator;
    if (!PowerOfTwo(fields.denominator))
        return kBadDenominator;
    if (fields.keyIndex < 0 || fields.keyIndex >= kSignatureDialogKeyCount || fields.scale < 0 ||
        fields.scale > 4)
        return "There is no such key or scale.";
    TimeAndKeySignature sig;
    sig.measure = bar - 1;
    sig.numerator = fields.numerator;
    sig.denominator = fields.denominator;
    sig.key = SignatureDialogKeyValue(fields.keyIndex);
    sig.mode = ScaleForKey(fields.keyIndex, fields.scale);
    if (existing) {
        const TimeAndKeySignature& old = *song_.GetSignature(static_cast<std::size_t>(index));
        if (old.measure != sig.measure) {
            // Moving onto another entry would silently replace it.
            for (std::size_t i = 0; i < song_.SignatureCount(); ++i)
                if (song_.GetSignature(i)->measure == sig.measure)
                    return kBarTaken;
        } else if (old.numerator == sig.numerator && old.denominator == sig.denominator &&
                   old.key == sig.key && old.mode == sig.mode) {
            return {}; // nothing to change
        }
    }
    command = std::make_unique<MC_SetTimeKeySig>(song_, existing ? index : kNewEntry, sig);
    return {};
}

Refusal SignatureEditing::MakeDelete(long index, std::unique_ptr<CPCommand>& command) const {
    command.reset();
    if (index < 0 || static_cast<std::size_t>(index) >= song_.SignatureCount())
        return {};
    if (!Deletable(index))
        return kFirstStays;
    command = std::make_unique<MC_DeleteTimeKey>(song_, static_cast<std::size_t>(index));
    return {};
}
