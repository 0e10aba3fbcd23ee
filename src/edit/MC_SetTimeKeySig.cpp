#include "edit/MC_SetTimeKeySig.h"

MC_SetTimeKeySig::MC_SetTimeKeySig(Song& song, long index, const TimeAndKeySignature& signature)
    : CPCommand(kCmdSetTimeKeySig), song_(song), index_(index), signature_(signature) {}

void MC_SetTimeKeySig::Execute() {
    before_ = song_.Signatures();
    TimeAndKeySignature s = signature_;
    if (index_ == 0)
        s.measure = 0;
    if (s.measure < 0)
        return;
    if (index_ > 0) {
        const TimeAndKeySignature* old = song_.GetSignature(static_cast<std::size_t>(index_));
        if (old && old->measure != s.measure)
            song_.RemoveSignature(static_cast<std::size_t>(index_));
    }
    song_.SetSignature(s.measure, s.numerator, s.denominator, s.key, s.mode);
}
