#include "edit/MC_SetTempo.h"

#include <algorithm>

MC_SetTempo::MC_SetTempo(Song& song, long index, std::int32_t tick, std::int32_t tempo,
                         bool moveLater)
    : CPCommand(kCmdSetTempo), song_(song), index_(index), tick_(tick), tempo_(tempo),
      moveLater_(moveLater) {}

void MC_SetTempo::Execute() {
    before_ = song_.Tempos();
    if (tempo_ <= 0 || tick_ < 0)
        return;
    if (index_ < 0 || static_cast<std::size_t>(index_) >= song_.TempoCount()) {
        song_.SetTempo(tick_, tempo_);
        return;
    }
    const auto index = static_cast<std::size_t>(index_);
    std::int32_t oldTick = 0, oldTempo = 0;
    song_.GetTempo(index, oldTick, oldTempo);
    // The first entry stays at tick 0.
    const std::int32_t tick = index == 0 ? 0 : tick_;
    song_.SetTempoByIndex(index, tick, tempo_);
    if (!moveLater_ || tick == oldTick)
        return;
    const std::int64_t shift = std::int64_t{tick} - oldTick;
    for (std::size_t i = index + 1; i < song_.TempoCount(); ++i) {
        std::int32_t t = 0, tempo = 0;
        song_.GetTempo(i, t, tempo);
        const std::int64_t moved = std::clamp<std::int64_t>(t + shift, 0, kEndTick);
        song_.SetTempoByIndex(i, static_cast<std::int32_t>(moved), tempo);
    }
}
