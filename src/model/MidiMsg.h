#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "util/AString.h"

enum MsgKind : std::uint8_t {
    kMsgControlChange = 0,
    kMsgNote = 1,
    kMsgText = 2,
    kMsgSysExclusive = 3,
    kMsgNSMeta = 4,
    kMsgPolyAftertouch = 5,
    kMsgChannelAftertouch = 6,
};

// Filters use these for "any".
constexpr std::int32_t kAllKinds = 7;
constexpr std::int32_t kAnySubKey = -1;
constexpr std::uint8_t kNoChannel = 255;
constexpr std::uint8_t kNoProgram = 255;
constexpr std::int32_t kNoBank = -1;
constexpr std::uint8_t kPitchBend = 255; // controller number of pitch-bend records
constexpr std::int32_t kEndTick = 2147483647;

// One event of a song. Notes carry their duration and instrument; there are no
// note-off, program-change or bank-select records.
class MidiMsg {
public:
    virtual ~MidiMsg() = default;
    virtual std::unique_ptr<MidiMsg> Copy() const = 0;

    // Same kind and same stored fields. Owned texts and byte buffers compare by content:
    // undo finds the record it put back by equality, and that must work for lyrics too.
    bool IsEqual(const MidiMsg& other) const;

    std::uint8_t channel = 0;
    std::uint16_t track = 0;
    std::uint8_t kind = 0;
    std::uint8_t subKey = 0;
    std::uint8_t instrument = kNoProgram;
    std::int32_t duration = 0;

protected:
    explicit MidiMsg(std::uint8_t k) : kind(k) {}
    MidiMsg(const MidiMsg&) = default;
    MidiMsg& operator=(const MidiMsg&) = default;
    virtual bool SameFields(const MidiMsg& other) const = 0;
};

template <class Derived> class MidiMsgBase : public MidiMsg {
public:
    std::unique_ptr<MidiMsg> Copy() const override {
        return std::make_unique<Derived>(static_cast<const Derived&>(*this));
    }

protected:
    using MidiMsg::MidiMsg;
};

// Controller 255 is pitch bend (14-bit value). Coarse controllers (0-31, 99, 101) hold
// coarse * 128 + fine; every other controller its plain 7-bit value.
class MidiMsgControlChange : public MidiMsgBase<MidiMsgControlChange> {
public:
    MidiMsgControlChange(std::uint8_t ch, std::uint8_t ctl, std::uint16_t val)
        : MidiMsgBase(kMsgControlChange), controller(ctl), value(val) {
        channel = ch;
        subKey = ctl;
    }
    std::uint8_t controller;
    std::uint16_t value;

protected:
    bool SameFields(const MidiMsg& other) const override;
};

class MidiMsgNote : public MidiMsgBase<MidiMsgNote> {
public:
    MidiMsgNote(std::uint8_t ch, std::uint8_t k, std::uint8_t vel, std::int32_t dur,
                std::uint8_t program = 0, std::int32_t bnk = kNoBank, std::uint8_t release = 0)
        : MidiMsgBase(kMsgNote), bank(bnk), key(k), velocity(vel), releaseVelocity(release) {
        channel = ch;
        instrument = program;
        duration = dur;
    }
    std::uint8_t Program() const { return instrument; }
    std::int32_t bank;
    std::uint8_t key;
    std::uint8_t velocity;
    std::uint8_t releaseVelocity;

protected:
    bool SameFields(const MidiMsg& other) const override;
};

// Text meta types 1-7: text, copyright, name, instrument, lyric, marker, cue point.
class MidiMsgText : public MidiMsgBase<MidiMsgText> {
public:
    MidiMsgText(std::int32_t type, AString txt)
        : MidiMsgBase(kMsgText), textType(type), text(std::move(txt)) {
        channel = kNoChannel;
        subKey = static_cast<std::uint8_t>(type);
    }
    std::int32_t textType;
    AString text;

protected:
    bool SameFields(const MidiMsg& other) const override;
};

// The bytes start with the status byte (F0 or F7) as it stood in the file.
class MidiMsgSysExclusive : public MidiMsgBase<MidiMsgSysExclusive> {
public:
    explicit MidiMsgSysExclusive(std::vector<std::uint8_t> data)
        : MidiMsgBase(kMsgSysExclusive), bytes(std::move(data)) {
        channel = 0;
    }
    std::vector<std::uint8_t> bytes;

protected:
    bool SameFields(const MidiMsg& other) const override;
};

// Meta events the program has no meaning for, kept whole.
class MidiMsgNSMetaEvent : public MidiMsgBase<MidiMsgNSMetaEvent> {
public:
    MidiMsgNSMetaEvent(std::uint8_t type, std::vector<std::uint8_t> data)
        : MidiMsgBase(kMsgNSMeta), metaType(type), bytes(std::move(data)) {
        channel = type & 0x0F;
    }
    std::uint8_t metaType;
    std::vector<std::uint8_t> bytes;

protected:
    bool SameFields(const MidiMsg& other) const override;
};

class MidiMsgPolyAftertouch : public MidiMsgBase<MidiMsgPolyAftertouch> {
public:
    MidiMsgPolyAftertouch(std::uint8_t ch, std::uint8_t k, std::uint8_t p)
        : MidiMsgBase(kMsgPolyAftertouch), key(k), pressure(p) {
        channel = ch;
    }
    std::uint8_t key;
    std::uint8_t pressure;

protected:
    bool SameFields(const MidiMsg& other) const override;
};

class MidiMsgChannelAftertouch : public MidiMsgBase<MidiMsgChannelAftertouch> {
public:
    MidiMsgChannelAftertouch(std::uint8_t ch, std::uint8_t p)
        : MidiMsgBase(kMsgChannelAftertouch), pressure(p) {
        channel = ch;
    }
    std::uint8_t pressure;

protected:
    bool SameFields(const MidiMsg& other) const override;
};

// Coarse controllers hold a 14-bit value; this is their fine partner, or -1.
int FinePartner(int controller);
bool IsCoarseController(int controller);
