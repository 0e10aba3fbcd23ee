#include "edit/MC_SetTempo.h"

MC_SetTempo::MC_SetTempo(Song& song, long index, std::int32_t tick, std::int32_t tempo)
    : CPCommand(kCmdSetTempo), song_(song), index_(index), tick_(tick), tempo_(tempo) {}

void MC_SetTempo::Execute() {
    if (tempo_ <= 0 || tick_ < 0)
        return;
    if (index_ < 0 || static_cast<std::size_t>(index_) >= song_.TempoCount())
        song_.SetTempo(tick_, tempo_);
    else
        // The first entry stays at tick 0.
        song_.SetTempoByIndex(static_cast<std::size_t>(index_), index_ == 0 ? 0 : tick_, tempo_);
}
