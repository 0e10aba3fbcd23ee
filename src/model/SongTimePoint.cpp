#include "model/SongTimePoint.h"

SongTimePoint::AddResult SongTimePoint::Add(std::unique_ptr<MidiMsg> msg) {
    AddResult result;
    if (msg->kind != kMsgControlChange) {
        result.insertedIndex = static_cast<long>(msgs.Count());
        msgs.Add(std::move(msg));
        return result;
    }
    const auto& cc = static_cast<const MidiMsgControlChange&>(*msg);
    std::size_t i = 0;
    while (i < msgs.Count() && msgs[i]->kind == kMsgControlChange) {
        auto* here = static_cast<MidiMsgControlChange*>(msgs[i]);
        if (here->channel == cc.channel) {
            if (here->controller == cc.controller) {
                msgs.Remove(i);
                result.removedIndex = static_cast<long>(i);
                continue;
            }
            if (FinePartner(here->controller) == cc.controller && cc.controller != kPitchBend) {
                // The fine value is the low seven bits of its coarse controller, as on a
                // device: a second one replaces the first instead of adding past 14 bits.
                here->value =
                    static_cast<std::uint16_t>((here->value & 0x3F80) | (cc.value & 0x7F));
                return result;
            }
        }
        ++i;
    }
    result.insertedIndex = static_cast<long>(i);
    msgs.Insert(i, std::move(msg));
    return result;
}
