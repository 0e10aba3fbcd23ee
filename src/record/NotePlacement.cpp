#include "record/NotePlacement.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "model/Song.h"

namespace {

constexpr double kMicrosecondsPerMinute = 60000000.0;

} // namespace

void PlaceDetectedNotes(const std::vector<DetectedNote>& notes, int restMethod,
                        std::int32_t usPerQuarter, const NoteDestination& destination,
                        Song& eventList) {
    if (usPerQuarter <= 0)
        usPerQuarter = kDefaultTempo;
    // Quarter notes per minute, scaled to ticks.
    const double q = eventList.TicksPerQuarter() * kMicrosecondsPerMinute / usPerQuarter;
    auto ticks = [q](double microseconds) {
        const double t = std::trunc(microseconds * q / kMicrosecondsPerMinute);
        return static_cast<std::int32_t>(
            std::clamp(t, 0.0, static_cast<double>(std::numeric_limits<std::int32_t>::max())));
    };
    while (eventList.TrackCount() <= destination.track)
        eventList.AddTrack(destination.channel, destination.program, destination.bank);

    std::int64_t previousEnd = 0;
    for (const DetectedNote& note : notes) {
        const std::int32_t length = ticks(note.length);
        std::int64_t start = 0;
        switch (restMethod) {
        case kDeleteBeginningRest:
            start = ticks(static_cast<double>(note.start) - notes.front().start);
            break;
        case kDeleteAllRests:
            start = previousEnd;
            break;
        default:
            start = ticks(note.start);
            break;
        }
        start = std::min<std::int64_t>(start, std::numeric_limits<std::int32_t>::max());
        previousEnd = start + length;
        auto msg = std::make_unique<MidiMsgNote>(destination.channel, note.note, note.velocity,
                                                 length, destination.program, destination.bank, 0);
        msg->track = destination.track;
        eventList.AddMsg(static_cast<std::int32_t>(start), std::move(msg));
    }
}
