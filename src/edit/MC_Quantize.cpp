#include "edit/MC_Quantize.h"

#include "edit/BlockOps.h"

MC_Quantize::MC_Quantize(SongIter& iter, std::int32_t start, std::int32_t end, std::int32_t grid,
                         bool alignBeginnings, bool alignDurations)
    : CPCommand(kCmdQuantize), iter_(iter), start_(start), end_(end), grid_(grid),
      alignBeginnings_(alignBeginnings), alignDurations_(alignDurations) {}

void MC_Quantize::Execute() {
    BlockOps::Quantize(iter_, start_, end_, grid_, alignBeginnings_, alignDurations_);
}
