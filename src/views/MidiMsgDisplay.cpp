#include "views/MidiMsgDisplay.h"

#include <algorithm>

#include "model/MidiMsg.h"
#include "model/Song.h"
#include "model/SongIter.h"
#include "model/ViewFilter.h"

namespace {

constexpr std::uint8_t kPitchBendController = 255;

const char* const kTextNames[] = {"Comment", "Copyright", "Track Name", "Instrument Name",
                                  "Lyric",   "Marker",    "Cue Point"};

} // namespace

std::unique_ptr<MidiMsgDisplay> MidiMsgDisplay::For(const MidiMsg& msg) {
    switch (msg.kind) {
    case kMsgControlChange:
        return std::make_unique<MidiControlDisplay>(msg);
    case kMsgNote:
        return std::make_unique<MidiNoteDisplay>(msg);
    case kMsgText:
        return std::make_unique<MidiTextDisplay>(msg);
    case kMsgSysExclusive:
        return std::make_unique<MidiSysExDisplay>(msg);
    default:
        return nullptr;
    }
}

// --- controllers and pitch bend ---------------------------------------------------------

bool MidiControlDisplay::Bend() const {
    return static_cast<const MidiMsgControlChange&>(msg_).controller == kPitchBendController;
}

std::string MidiControlDisplay::Name() const {
    return Bend() ? "Pitch Bend" : "Controller";
}

int MidiControlDisplay::FieldCount() const {
    return Bend() ? 3 : 4;
}

MidiMsgDisplay::FieldInfo MidiControlDisplay::Field(int index) const {
    if (!Bend() && index == 2)
        return {"Type", kUnsigned, 0, 127};
    const int shifted = !Bend() && index == 3 ? 2 : index;
    switch (shifted) {
    case 0:
        return {"Track", kUnsigned, 0, 32767};
    case 1:
        return {"Channel", kUnsigned, 0, 32767};
    default:
        return {"Pos", kUnsigned, 0, 127};
    }
}

std::string MidiControlDisplay::Value(int index) const {
    const auto& cc = static_cast<const MidiMsgControlChange&>(msg_);
    if (!Bend() && index == 2)
        return std::to_string(cc.controller);
    const int shifted = !Bend() && index == 3 ? 2 : index;
    switch (shifted) {
    case 0:
        return std::to_string(cc.track);
    case 1:
        return std::to_string(cc.channel);
    default:
        return std::to_string(cc.value);
    }
}

// --- notes ---------------------------------------------------------------------------

MidiMsgDisplay::FieldInfo MidiNoteDisplay::Field(int index) const {
    switch (index) {
    case 0:
        return {"Track", kUnsigned, 0, 32367};
    case 1:
        return {"Channel", kUnsigned, 1, 16};
    case 2:
        return {"Instrument", kUnsigned, 0, 127};
    case 3:
        return {"Bank", kSigned, -1, 16384};
    case 4:
        return {"Pitch", kUnsigned, 0, 127};
    case 5:
        return {"Velocity", kUnsigned, 0, 127};
    default:
        return {"Duration", kUnsigned, 0, 65535};
    }
}

std::string MidiNoteDisplay::Value(int index) const {
    const auto& note = static_cast<const MidiMsgNote&>(msg_);
    switch (index) {
    case 0:
        return std::to_string(note.track);
    case 1:
        return std::to_string(note.channel + 1); // shown from 1, as the range says
    case 2:
        return std::to_string(note.instrument);
    case 3:
        return std::to_string(note.bank);
    case 4:
        return std::to_string(note.key);
    case 5:
        return std::to_string(note.velocity);
    default:
        return std::to_string(note.duration);
    }
}

// --- texts ---------------------------------------------------------------------------

std::string MidiTextDisplay::Name() const {
    const std::int32_t type = static_cast<const MidiMsgText&>(msg_).textType;
    return type >= 1 && type <= 7 ? kTextNames[type - 1] : "";
}

MidiMsgDisplay::FieldInfo MidiTextDisplay::Field(int index) const {
    if (index == 0)
        return {"Track", kUnsigned, 0, 32767};
    return {"", kText, 0, 0};
}

std::string MidiTextDisplay::Value(int index) const {
    const auto& text = static_cast<const MidiMsgText&>(msg_);
    if (index == 0)
        return std::to_string(text.track);
    return std::string(text.text.Displayed());
}

// --- system exclusive ----------------------------------------------------------------------

MidiMsgDisplay::FieldInfo MidiSysExDisplay::Field(int index) const {
    if (index == 0)
        return {"Track", kUnsigned, 0, 32767};
    return {"Length", kUnsigned, 0, 32767};
}

std::string MidiSysExDisplay::Value(int index) const {
    const auto& sysex = static_cast<const MidiMsgSysExclusive&>(msg_);
    return std::to_string(index == 0 ? sysex.track : sysex.bytes.size());
}

// --- rows ----------------------------------------------------------------------------

std::vector<MidiMsgRow::Cell> MidiMsgRows::Cells(const MidiMsgRow& row,
                                                 const MidiMsgDisplay& display) {
    std::vector<MidiMsgRow::Cell> cells;
    const int right = row.width;
    int x = 0;
    auto add = [&](int width, std::string text) {
        // No half cell within the last pixels; a cell that would pass the edge ends one
        // pixel before it.
        if (x > right - kEdgeGap)
            return false;
        cells.push_back({x, std::min(width, right - 1 - x), std::move(text)});
        x += width;
        return true;
    };
    if (!add(kTimeWidth, std::to_string(row.bar) + ":" + std::to_string(row.beat) + ":" +
                             std::to_string(row.tick)))
        return cells;
    if (!add(kKindWidth, display.Name()))
        return cells;
    for (int i = 0; i < display.FieldCount(); ++i) {
        const MidiMsgDisplay::FieldInfo info = display.Field(i);
        std::string text = info.label;
        if (!text.empty())
            text += ": ";
        text += display.Value(i);
        if (!add(info.type == MidiMsgDisplay::kText ? kTextWidth : kNumberWidth, std::move(text)))
            break;
    }
    return cells;
}

std::vector<MidiMsgRow> MidiMsgRows::Build(Song& song, const ViewFilter* filter, std::int32_t start,
                                           int skip, int top, int width, int height) {
    std::vector<MidiMsgRow> rows;
    SongIter it(song, filter);
    int y = top;
    int passed = 0;
    for (bool ok = it.Seek(std::max(start, 0)); ok; ok = it.Next()) {
        const std::unique_ptr<MidiMsgDisplay> display = MidiMsgDisplay::For(*it.Msg());
        if (!display)
            continue;
        if (passed++ < skip)
            continue;
        if (y + kRowHeight > height)
            break;
        MidiMsgRow row;
        const MusicalTime at = song.TickToMusicalTime(it.Tick());
        row.bar = at.measure + 1;
        row.beat = at.beat + 1;
        row.tick = at.tick;
        row.songTick = it.Tick();
        row.y = y;
        row.width = std::max(width - kScrollBarWidth, 0);
        row.cells = Cells(row, *display);
        rows.push_back(std::move(row));
        y += kRowHeight;
    }
    return rows;
}
