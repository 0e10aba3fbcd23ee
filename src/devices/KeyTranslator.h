#pragma once

#include <cstdint>
#include <vector>

#include "devices/KeyOperation.h"
#include "util/AString.h"
#include "util/Refusal.h"

class INIFile;

// The state a modifier must be in for an entry to match.
enum KeyState : std::int32_t { kKeyOff = 0, kKeyOn = 1, kKeyIgnore = 2 };

struct KeyTranslation {
    std::uint8_t key = 0; // virtual-key code
    std::int32_t shift = kKeyOff;
    std::int32_t ctrl = kKeyOff;
    std::int32_t alt = kKeyOff;
    KeyOperation operation = KeyOperation::AddNoteAfterCurrent;

    friend bool operator==(const KeyTranslation&, const KeyTranslation&) = default;
};

// First match wins, so the order is part of the table.
using KeyTranslationList = std::vector<KeyTranslation>;

// Maps a key with Shift, Ctrl and Alt to one of the editing and transport operations.
// Stored in the settings as "KeyTr0", "KeyTr1", ... = "key,shift,ctrl,alt,operation".
class KeyTranslator {
public:
    static constexpr int kOperationCount = kKeyOperationCount;
    static constexpr int kKeyCount = 256;
    static constexpr const char* kKeyPrefix = "KeyTr";

    // Loads from the installed settings (an empty table without any).
    KeyTranslator();
    explicit KeyTranslator(INIFile& ini);

    // Reads entries until the first missing, malformed or out-of-range one.
    void Load(INIFile& ini);
    // The malformed entry that ended the last Load ("KeyTr7=x,1"); empty when the table
    // ended at a missing or blank key.
    const AString& RejectedEntry() const { return rejected_; }
    // Writes every entry, then blanks the keys left over from a longer table so that
    // the next load stops there.
    void Save(INIFile& ini) const;
    bool Save() const;

    void Add(std::uint8_t key, std::int32_t shift, std::int32_t ctrl, std::int32_t alt,
             KeyOperation operation);
    void Remove(std::size_t index);
    // The operation of the first entry whose key is `key` and whose modifier states are
    // "Ignore" or equal the given ones.
    bool Find(std::uint8_t key, bool shiftDown, bool ctrlDown, bool altDown,
              KeyOperation& operation) const;

    KeyTranslationList& Entries() { return table_; }
    const KeyTranslationList& Entries() const { return table_; }
    void SetEntries(KeyTranslationList entries) { table_ = std::move(entries); }
    // The assignment dialog keeps a copy when it opens and puts it back on Cancel.
    void KeepCopy() { kept_ = table_; }
    void RestoreCopy() { table_ = kept_; }

    // The stored form of one entry, and its parse (false for a malformed value).
    static AString Format(const KeyTranslation& entry);
    static bool Parse(const AString& value, KeyTranslation& entry);

    static const char* OperationName(int operation);
    static AString KeyName(int code);
    static const char* StateName(int state);
    // Whether a captured key may be assigned: Shift, Ctrl and Alt alone are only
    // modifiers. (Tab may be: the main window offers every key to the table before
    // focus handling sees it.)
    static Refusal CanAssign(std::uint8_t key);

    // The table shipped with the program: every operation on some key.
    static KeyTranslationList DefaultTable();

private:
    KeyTranslationList table_;
    KeyTranslationList kept_;
    AString rejected_;
};
