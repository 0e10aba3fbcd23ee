#include <cstdint>
#include <string>

#include "model/ViewOptions.h"
#include "views/StaffArranger.h"

// A track's options record: every value lands within what the dialogs offer, the record
// formats to a text that parses to the same options, and the staff takes them.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AString text(reinterpret_cast<const char*>(data), size);
    const ViewOptions options = ParseViewOptions(AString("VLOPT:") + text);
    const ViewOptions raw = ParseViewOptions(text);
    for (const ViewOptions* o : {&options, &raw}) {
        if (o->splitPitch < kLowestSplit || o->splitPitch > kHighestSplit ||
            !(o->timeGroupMerge >= 0 && o->timeGroupMerge <= kMostFraction) ||
            !(o->printoutScale >= kSmallestScale && o->printoutScale <= kLargestScale))
            __builtin_trap();
        const AString formatted = FormatViewOptions(*o);
        if (FormatViewOptions(ParseViewOptions(formatted)).str() != formatted.str())
            __builtin_trap();
    }
    StaffArranger arranger(4096);
    arranger.Configure(options);
    for (std::int32_t pitch = 0; pitch < 128; pitch += 7)
        (void)arranger.PitchToPosition(pitch, 0);
    return 0;
}
