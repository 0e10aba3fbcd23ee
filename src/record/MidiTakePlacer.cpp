#include "record/MidiTakePlacer.h"

#include "edit/CommandProcessor.h"
#include "edit/MC_PasteBlock.h"
#include "model/SongIter.h"

std::unique_ptr<BlockCopy> MidiTakePlacer::Prepare(std::unique_ptr<Song> take,
                                                   const MidiTakePlacement& placement) {
    if (!take || take->PointCount() == 0)
        return nullptr;
    {
        SongIter it(*take);
        const std::int32_t last = take->LastTick();
        if (placement.fit && placement.fitLength > 0)
            BlockOps::FitToTime(it, 0, last, placement.fitLength, false);
        if (placement.align && placement.grid > 0)
            BlockOps::Quantize(it, 0, take->LastTick(), placement.grid, placement.alignBeginnings,
                               placement.alignDurations);
    }
    auto copy = std::make_unique<BlockCopy>();
    copy->length = std::max(MidiRecordSession::TakeLength(*take), 1);
    copy->song = std::move(take);
    return copy;
}

bool MidiTakePlacer::Place(CommandProcessor& commands, SongIter& viewIter,
                           std::unique_ptr<Song> take, const MidiTakePlacement& placement,
                           const PasteTarget& current) {
    std::unique_ptr<BlockCopy> copy = Prepare(std::move(take), placement);
    if (!copy)
        return false;
    PasteOptions options;
    options.at = placement.at;
    options.method = static_cast<PasteMethod>(placement.method);
    options.target = current;
    options.target.placement =
        placement.assignByChannel ? TrackPlacement::AssignByChannel : TrackPlacement::ForceCurrent;
    commands.Submit(std::make_unique<MC_PasteBlock>(viewIter, options, std::move(copy)));
    return true;
}
