#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MidiMsg;
class Song;
class ViewFilter;

// How one event shows as a row of the Message view: the name of its kind and its
// labelled fields. The event stays the song's.
class MidiMsgDisplay {
public:
    enum ValueType { kSigned = 0, kUnsigned = 1, kText = 2 };
    struct FieldInfo {
        const char* label;
        ValueType type;
        std::int32_t minimum;
        std::int32_t maximum;
    };

    explicit MidiMsgDisplay(const MidiMsg& msg) : msg_(msg) {}
    virtual ~MidiMsgDisplay() = default;

    virtual std::string Name() const = 0;
    virtual int FieldCount() const = 0;
    virtual FieldInfo Field(int index) const = 0;
    // A number as decimal text, or the text itself.
    virtual std::string Value(int index) const = 0;

    // The painter for an event's kind; null for kinds without a row (other meta events,
    // aftertouch).
    static std::unique_ptr<MidiMsgDisplay> For(const MidiMsg& msg);

protected:
    const MidiMsg& msg_;
};

class MidiControlDisplay : public MidiMsgDisplay {
public:
    using MidiMsgDisplay::MidiMsgDisplay;
    std::string Name() const override;
    int FieldCount() const override;
    FieldInfo Field(int index) const override;
    std::string Value(int index) const override;

private:
    bool Bend() const;
};

class MidiNoteDisplay : public MidiMsgDisplay {
public:
    using MidiMsgDisplay::MidiMsgDisplay;
    std::string Name() const override { return "Note"; }
    // The duration is a seventh field that rows do not show.
    int FieldCount() const override { return 6; }
    FieldInfo Field(int index) const override;
    std::string Value(int index) const override;
};

class MidiTextDisplay : public MidiMsgDisplay {
public:
    using MidiMsgDisplay::MidiMsgDisplay;
    std::string Name() const override;
    int FieldCount() const override { return 2; }
    FieldInfo Field(int index) const override;
    std::string Value(int index) const override;
};

class MidiSysExDisplay : public MidiMsgDisplay {
public:
    using MidiMsgDisplay::MidiMsgDisplay;
    std::string Name() const override { return "System Exclusive"; }
    int FieldCount() const override { return 2; }
    FieldInfo Field(int index) const override;
    std::string Value(int index) const override;
};

// The rows of a Message view: the events that pass the filter from a start time on, as
// many as fit, each laid out into cells.
struct MidiMsgRow {
    struct Cell {
        int x = 0;
        int width = 0;
        std::string text;
    };
    std::int32_t bar = 1, beat = 1, tick = 0; // bar and beat from 1
    std::int32_t songTick = 0;
    int y = 0;
    int width = 0;
    std::vector<Cell> cells;
};

class MidiMsgRows {
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kTimeWidth = 100;
    static constexpr int kKindWidth = 100;
    static constexpr int kNumberWidth = 90;
    static constexpr int kTextWidth = 210;
    static constexpr int kEdgeGap = 10;
    static constexpr int kScrollBarWidth = 17;

    // Rows for a view `width` by `height` pixels whose first row starts at `top`; the
    // first `skip` rows from `start` on are passed over (the view's own scroll bar).
    static std::vector<MidiMsgRow> Build(Song& song, const ViewFilter* filter, std::int32_t start,
                                         int skip, int top, int width, int height);
    // The cells of one row: time, kind, then the fields, cut at the right edge.
    static std::vector<MidiMsgRow::Cell> Cells(const MidiMsgRow& row,
                                               const MidiMsgDisplay& display);
};
