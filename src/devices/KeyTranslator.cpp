#include "devices/KeyTranslator.h"

#include <array>
#include <string_view>

#include "devices/VirtualKeys.h"
#include "util/INIFile.h"

namespace {

struct NamedKey {
    int code;
    const char* name;
};

// Keys whose names are not digits, letters, numeric-pad digits or function keys.
constexpr NamedKey kNamedKeys[] = {
    {8, "Backspace"},
    {9, "Tab"},
    {13, "Enter"},
    {16, "Shift"},
    {17, "Ctrl"},
    {18, "Alt"},
    {19, "Pause"},
    {20, "Caps Lock"},
    {27, "Escape"},
    {32, "Space"},
    {33, "Page Up"},
    {34, "Page Down"},
    {35, "End"},
    {36, "Home"},
    {37, "Left Arrow"},
    {38, "Up Arrow"},
    {39, "Right Arrow"},
    {40, "Down Arrow"},
    {41, "Select"},
    {42, "Print"},
    {43, "Execute"},
    {44, "SnapShot"},
    {45, "Insert"},
    {46, "Delete"},
    {47, "Help"},
    {91, "Windows Start"},
    {93, "Menu Key"},
    {106, "NumPad Multiply(*)"},
    {107, "NumPad Plus(+)"},
    {108, "Separator"},
    {109, "NumPad Minus(-)"},
    {110, "NumPad Decimal(.)"},
    {111, "NumPad Divide(/)"},
    {144, "NumLock"},
    {145, "ScrollLock"},
    {186, "; or :"},
    {187, "+"},
    {188, ", or <"},
    {189, "- or _"},
    {190, ". or >"},
    {191, "/ or ?"},
    {192, "` or ~"},
    {219, "[ or {"},
    {220, "\\ or |"},
    {221, "] or }"},
    {222, "' or \""},
    {229, "Process"},
    {246, "Attn"},
    {247, "CrSel"},
    {248, "ExSel"},
    {249, "ErEof"},
    {250, "Play"},
    {251, "Zoom"},
    {253, "PA1"},
    {254, "OEM Clear"},
};

AString KeyNameOf(std::int32_t index) {
    return AString(KeyTranslator::kKeyPrefix) + AString::FromInt(index);
}

bool StateMatches(std::int32_t state, bool down) {
    return state == kKeyIgnore || state == (down ? kKeyOn : kKeyOff);
}

bool IsState(long value) {
    return value >= kKeyOff && value <= kKeyIgnore;
}

} // namespace

KeyTranslator::KeyTranslator() {
    if (INIFile* ini = INIFile::Global())
        Load(*ini);
}

KeyTranslator::KeyTranslator(INIFile& ini) {
    Load(ini);
}

AString KeyTranslator::Format(const KeyTranslation& e) {
    return AString::FromInt(e.key) + "," + AString::FromInt(e.shift) + "," +
           AString::FromInt(e.ctrl) + "," + AString::FromInt(e.alt) + "," +
           AString::FromInt(ToCode(e.operation));
}

bool KeyTranslator::Parse(const AString& value, KeyTranslation& entry) {
    long numbers[5];
    std::size_t pos = 0;
    for (long& number : numbers) {
        AString token;
        bool ok = false;
        if (!value.NextToken(pos, ",", token))
            return false;
        number = token.ToInt(&ok);
        if (!ok)
            return false;
    }
    // Values outside the table would select a key, state or operation that does not
    // exist; such an entry ends the table like an unreadable one.
    if (numbers[0] < 0 || numbers[0] >= kKeyCount || !IsState(numbers[1]) || !IsState(numbers[2]) ||
        !IsState(numbers[3]) || !IsKeyOperation(static_cast<std::int32_t>(numbers[4])))
        return false;
    entry.key = static_cast<std::uint8_t>(numbers[0]);
    entry.shift = static_cast<std::int32_t>(numbers[1]);
    entry.ctrl = static_cast<std::int32_t>(numbers[2]);
    entry.alt = static_cast<std::int32_t>(numbers[3]);
    entry.operation = static_cast<KeyOperation>(numbers[4]);
    return true;
}

void KeyTranslator::Load(INIFile& ini) {
    table_.clear();
    rejected_ = AString();
    for (std::int32_t i = 0;; ++i) {
        AString value;
        if (!ini.ReadString(KeyNameOf(i), value))
            break;
        KeyTranslation entry;
        if (!Parse(value, entry)) {
            // A blank value is how a shorter table ends; anything else is a mistake.
            if (!value.IsEmpty())
                rejected_ = KeyNameOf(i) + "=" + value;
            break;
        }
        table_.push_back(entry);
    }
}

void KeyTranslator::Save(INIFile& ini) const {
    std::int32_t i = 0;
    for (const KeyTranslation& entry : table_)
        ini.WriteString(KeyNameOf(i++), Format(entry));
    AString old;
    for (; ini.ReadString(KeyNameOf(i), old); ++i)
        if (!ini.WriteString(KeyNameOf(i), ""))
            break;
}

bool KeyTranslator::Save() const {
    INIFile* ini = INIFile::Global();
    if (!ini)
        return false;
    Save(*ini);
    return true;
}

void KeyTranslator::Add(std::uint8_t key, std::int32_t shift, std::int32_t ctrl, std::int32_t alt,
                        KeyOperation operation) {
    table_.push_back(KeyTranslation{key, shift, ctrl, alt, operation});
}

void KeyTranslator::Remove(std::size_t index) {
    if (index < table_.size())
        table_.erase(table_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool KeyTranslator::Find(std::uint8_t key, bool shiftDown, bool ctrlDown, bool altDown,
                         KeyOperation& operation) const {
    for (const KeyTranslation& e : table_) {
        if (e.key == key && StateMatches(e.shift, shiftDown) && StateMatches(e.ctrl, ctrlDown) &&
            StateMatches(e.alt, altDown)) {
            operation = e.operation;
            return true;
        }
    }
    return false;
}

const char* KeyTranslator::OperationName(int operation) {
    return IsKeyOperation(operation) ? KeyOperationName(static_cast<KeyOperation>(operation)) : "";
}

namespace {
constexpr std::array<const char*, kKeyOperationCount> kOperations = {
    "Add Note After Current",
    "Add Note At End",
    "Add Note At Current Time",
    "Insert Note Before Current Time",
    "Chord Cycle",
    "Chord Cycle Backward",
    "Invert Chord",
    "Anchor Chord Down/Note Octave Down",
    "Anchor Chord Up/Note Octave Up",
    "Play",
    "Rewind",
    "Rewind To Beginning",
    "Record",
    "Fast Forward",
    "Fast Forward To End",
    "Stop Playing",
    "Play Current Section",
    "Decrease Note Duration",
    "Increase Note Duration",
    "Decrease Note Velocity/Volume",
    "Increase Note Velocity/Volume",
    "Down In Pitch",
    "Up In Pitch",
    "Backward In Time",
    "Forward In Time",
    "Paste Selection",
    "Copy Selection",
    "Clear Selection",
    "Cut Selection",
    "Undo",
    "Move To Previous Note At Current Time",
    "Move To Next Note At Current Time",
    "Select Notes Backward",
    "Select Notes Forward",
    "Move Note Backward",
    "Move Note Forward",
    "Dot Selected Note",
    "Triplet Selected Note",
    "Make Current Note Pitch A",
    "Make Current Note Pitch B",
    "Make Current Note Pitch C",
    "Make Current Note Pitch D",
    "Make Current Note Pitch E",
    "Make Current Note Pitch F",
    "Make Current Note Pitch G",
    "Current Note Down Octave",
    "Current Note Up Octave",
    "Up In Pitch 1/2 Step",
    "Down In Pitch 1/2 Step",
    "Up In Pitch In Key",
    "Down In Pitch In Key",
};
} // namespace

const char* KeyOperationName(KeyOperation op) {
    const std::int32_t code = ToCode(op);
    return IsKeyOperation(code) ? kOperations[static_cast<std::size_t>(code)] : "";
}

AString KeyTranslator::KeyName(int code) {
    if (code >= '0' && code <= '9')
        return AString(std::string(1, static_cast<char>(code)));
    if (code >= 'A' && code <= 'Z')
        return AString(std::string(1, static_cast<char>(code)));
    if (code >= 96 && code <= 105)
        return AString("NumPad ") + AString::FromInt(code - 96);
    if (code >= 112 && code <= 135)
        return AString("F") + AString::FromInt(code - 111);
    for (const NamedKey& k : kNamedKeys)
        if (k.code == code)
            return AString(k.name);
    return AString("Code ") + AString::FromInt(code);
}

const char* KeyTranslator::StateName(int state) {
    switch (state) {
    case kKeyOff:
        return "Off";
    case kKeyOn:
        return "On";
    case kKeyIgnore:
        return "Ignore";
    default:
        return "";
    }
}

Refusal KeyTranslator::CanAssign(std::uint8_t key) {
    if (key == vk::kShift || key == vk::kCtrl || key == vk::kAlt)
        return "Shift, Ctrl and Alt are set for each key; please press the key itself, "
               "holding them as wanted.";
    return {};
}
