#include <cstdint>
#include <string>

#include "model/MusicalTime.h"
#include "model/Song.h"
#include "model/TimeTexts.h"

// A typed position "m:b:t": what parses formats back to the same position, and placing
// it in a song with a few signatures finds a tick inside that song's time or refuses.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AString text(reinterpret_cast<const char*>(data), size);
    MusicalTime time;
    if (!ParseMusicalTime(text, time))
        return 0;
    MusicalTime again;
    if (!ParseMusicalTime(FormatMusicalTime(time), again) || !(again == time))
        __builtin_trap();
    static Song* song = [] {
        auto* made = new Song;
        made->SetTimeSignature(2, 3, 4);
        made->SetTimeSignature(5, 7, 8);
        made->SetTimeSignature(9, 1, 1);
        return made;
    }();
    std::int32_t tick = 0;
    if (TypedPositionToTick(*song, time, tick) && tick < 0)
        __builtin_trap();
    std::int32_t exact = 0;
    if (song->MusicalTimeToTick(time, exact)) {
        const MusicalTime back = song->TickToMusicalTime(exact);
        if (back.measure != time.measure)
            __builtin_trap();
    }
    return 0;
}
