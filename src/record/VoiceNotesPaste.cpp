#include "record/VoiceNotesPaste.h"

#include <algorithm>

#include "edit/BlockCopy.h"
#include "edit/MC_PasteBlock.h"
#include "model/SongIter.h"

std::unique_ptr<MC_PasteBlock> MakeVoiceNotesPaste(SongIter& viewIter, std::int32_t at,
                                                   const std::vector<DetectedNote>& notes,
                                                   int restMethod,
                                                   const NoteDestination& destination) {
    Song& song = *viewIter.GetSong();
    if (notes.empty() || at < 0)
        return nullptr;
    auto copy = std::make_unique<BlockCopy>();
    copy->song = std::make_unique<Song>();
    copy->song->SetTicksPerQuarter(song.TicksPerQuarter());
    PlaceDetectedNotes(notes, restMethod, song.TempoAt(at), destination, *copy->song);

    // The inserted time reaches to the end of the last note, and past the start of a
    // last note too short for a tick, so that every note goes in.
    std::int64_t end = 0;
    for (SongTimeIter it(*copy->song); !it.AtEnd(); it.Next())
        for (const MidiMsg* msg : it.Point()->msgs) {
            std::int32_t duration = 1;
            if (msg->kind == kMsgNote)
                duration = std::max(static_cast<const MidiMsgNote*>(msg)->duration, duration);
            end = std::max<std::int64_t>(end, std::int64_t{it.Tick()} + duration);
        }
    copy->length = static_cast<std::int32_t>(std::min<std::int64_t>(end, kEndTick - at));

    PasteOptions options;
    options.at = at;
    options.method = PasteMethod::Insert;
    options.target.placement = TrackPlacement::ForceCurrent;
    options.target.track = destination.track;
    options.target.channel = destination.channel;
    options.target.program = destination.program;
    options.target.bank = destination.bank;
    return std::make_unique<MC_PasteBlock>(viewIter, options, std::move(copy));
}
