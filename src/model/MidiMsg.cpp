#include "model/MidiMsg.h"

bool MidiMsg::IsEqual(const MidiMsg& other) const {
    return kind == other.kind && channel == other.channel && track == other.track &&
           subKey == other.subKey && instrument == other.instrument && duration == other.duration &&
           SameFields(other);
}

bool MidiMsgControlChange::SameFields(const MidiMsg& other) const {
    const auto& o = static_cast<const MidiMsgControlChange&>(other);
    return controller == o.controller && value == o.value;
}

bool MidiMsgNote::SameFields(const MidiMsg& other) const {
    const auto& o = static_cast<const MidiMsgNote&>(other);
    return bank == o.bank && key == o.key && velocity == o.velocity &&
           releaseVelocity == o.releaseVelocity;
}

bool MidiMsgText::SameFields(const MidiMsg& other) const {
    const auto& o = static_cast<const MidiMsgText&>(other);
    return textType == o.textType && text.str() == o.text.str();
}

bool MidiMsgSysExclusive::SameFields(const MidiMsg& other) const {
    return bytes == static_cast<const MidiMsgSysExclusive&>(other).bytes;
}

bool MidiMsgNSMetaEvent::SameFields(const MidiMsg& other) const {
    const auto& o = static_cast<const MidiMsgNSMetaEvent&>(other);
    return metaType == o.metaType && bytes == o.bytes;
}

bool MidiMsgPolyAftertouch::SameFields(const MidiMsg& other) const {
    const auto& o = static_cast<const MidiMsgPolyAftertouch&>(other);
    return key == o.key && pressure == o.pressure;
}

bool MidiMsgChannelAftertouch::SameFields(const MidiMsg& other) const {
    return pressure == static_cast<const MidiMsgChannelAftertouch&>(other).pressure;
}

bool IsCoarseController(int controller) {
    return (controller >= 0 && controller <= 31) || controller == 99 || controller == 101;
}

int FinePartner(int controller) {
    if (controller >= 0 && controller <= 31)
        return controller + 32;
    if (controller == 99)
        return 98;
    if (controller == 101)
        return 100;
    return -1;
}
