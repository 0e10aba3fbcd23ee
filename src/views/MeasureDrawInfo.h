#pragma once

#include <cstdint>
#include <memory_resource>
#include <vector>

#include "model/MusicalTime.h"
#include "views/StaffTables.h"

// What the staff layout hands to the drawer, the view's hit-testing and the printout.
// Items and columns live in the arranger's item block: a measure stays valid until that
// arranger starts again or is destroyed.

enum DrawItemKind : std::int32_t {
    kItemNote = 0,
    kItemRest = 1,
    kItemText = 2,
    kItemSymbol = 3,
};

struct DrawItemInfo {
    std::int32_t kind = kItemNote;
    std::int32_t time = 0;      // ticks from the start of the measure
    std::int32_t msgIndex = -1; // index of the source record in its time point, -1 none
};

constexpr std::int32_t kNoStem = -1000;
// Tie ids run from 0 up to this and start again; the drawer keeps one anchor per id.
constexpr std::int16_t kTieIdCount = 10000;

struct NoteDrawItem : DrawItemInfo {
    enum Flags : std::uint8_t {
        kStemUp = 1,
        kTripletBeam = 2,
        kOwnsChordStem = 4,
    };

    std::int16_t staff = 0;
    std::int32_t position = 0; // already on the lower staff when staff is 1
    std::int16_t ledger = 0;
    std::int32_t durationType = kDurQuarter;
    std::int32_t duration = 0; // of the whole note, also for its cut parts
    std::uint8_t velocity = 0;
    std::int32_t accidental = kAccNone;
    std::uint8_t sharesChordStem = 0;
    std::int16_t beamId = -1;
    std::int16_t beamCount = 0;
    std::int16_t beamEnd = -1;
    std::int16_t partialBeamCount = 0;
    std::int16_t partialBeamSide = -1;
    std::int32_t stemEnd = kNoStem;
    std::int16_t tieStart = -1;
    std::int16_t tieEnd = -1;
    std::int16_t carriedDuration = 0; // bounded to 32767; the arranger keeps the full value
    std::uint8_t flags = 0;
    std::int32_t partLength = 0; // ticks of this part inside the measure

    bool StemUp() const { return (flags & kStemUp) != 0; }
    bool HasStem() const { return sharesChordStem == 0 && stemEnd != kNoStem; }
};

struct RestDrawItem : DrawItemInfo {
    std::int32_t durationType = kDurQuarter;
    std::int32_t position = 16;
    std::int32_t length = 0;
};

// Meta-event text types that become text items; tempo marks use the tempo meta type.
enum TextItemType : std::int32_t {
    kTextPlain = 1,
    kTextTrackName = 3,
    kTextLyric = 5,
    kTextTempo = 81,
};

struct TextDrawItem : DrawItemInfo {
    static constexpr std::size_t kMaxText = 259;
    std::int32_t position = 0;
    std::int32_t textType = kTextPlain;
    char text[kMaxText + 1] = {};
};

struct SymbolDrawItem : DrawItemInfo {
    std::int32_t position = 0;
    std::int32_t symbol = kSymbolPedalDown;
};

// One column: what stands at one horizontal place (a chord with its rests and texts).
using DrawItemInfoList = std::pmr::vector<DrawItemInfo*>;
// The columns of a measure in time order.
using DrawItemInfoListList = std::pmr::vector<DrawItemInfoList>;

struct MeasureDrawInfo {
    explicit MeasureDrawInfo(std::pmr::memory_resource* block) : columns(block) {}

    DrawItemInfoListList columns;
    TimeAndKeySignature signature;
    bool firstMeasureOfSong = false;
    bool firstAfterStart = false;
    bool timeSigChanged = false;
    bool keySigChanged = false;
    std::int32_t ticksPerBeat = 0;
    std::int32_t startTick = 0;
    std::int32_t length = 0;
    std::int32_t beatGroupCount = 0;
    std::int32_t beatGroupLength = 0;
    std::int32_t shortestType = kDurNone;
    std::int32_t clef = 0;
    std::int32_t measureNumber = 0;
    bool endOfSong = false;
    std::int32_t drawingWidth = -1; // device units, set by the printout
};

template <class Item> Item* ItemAs(DrawItemInfo* item, DrawItemKind kind) {
    return item->kind == kind ? static_cast<Item*>(item) : nullptr;
}
template <class Item> const Item* ItemAs(const DrawItemInfo* item, DrawItemKind kind) {
    return item->kind == kind ? static_cast<const Item*>(item) : nullptr;
}
inline NoteDrawItem* AsNote(DrawItemInfo* item) {
    return ItemAs<NoteDrawItem>(item, kItemNote);
}
inline const NoteDrawItem* AsNote(const DrawItemInfo* item) {
    return ItemAs<NoteDrawItem>(item, kItemNote);
}
