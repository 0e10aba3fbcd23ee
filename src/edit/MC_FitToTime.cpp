#include "edit/MC_FitToTime.h"

#include "edit/BlockOps.h"
#include "model/ViewFilter.h"

MC_FitToTime::MC_FitToTime(SongIter& iter, std::int32_t start, std::int32_t end,
                           std::int32_t newLength, bool moveRest)
    : CPCommand(kCmdFitToTime), iter_(iter), start_(start), end_(end), newLength_(newLength),
      moveRest_(moveRest) {}

void MC_FitToTime::Execute() {
    // Every kind of event moves with the notes; the view's own filter stays as it is.
    const ViewFilter* viewFilter = iter_.Filter();
    ViewFilter widened = viewFilter ? *viewFilter : ViewFilter();
    widened.SetKind(kAllKinds, kAnySubKey);
    iter_.SetFilter(&widened);
    BlockOps::FitToTime(iter_, start_, end_, newLength_, moveRest_);
    iter_.SetFilter(viewFilter);
}
