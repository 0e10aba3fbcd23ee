#include "edit/MC_MoveMsg.h"

#include "edit/EditSupport.h"
#include "edit/PointCursor.h"

MC_MoveMsg::MC_MoveMsg(SongIter& iter, std::int32_t amount, std::function<void()> beep)
    : CPCommand(kCmdMoveMsg), iter_(iter), amount_(amount), beep_(std::move(beep)) {}

void MC_MoveMsg::Execute() {
    MidiMsg* msg = iter_.Msg();
    if (!msg || msg->kind != kMsgNote)
        return;
    const std::int64_t target = std::int64_t{iter_.Tick()} + amount_;
    if (target < 0 || target > kEndTick) {
        if (beep_)
            beep_();
        return;
    }
    if (amount_ == 0)
        return;
    Song& song = *iter_.GetSong();
    SongTimePoint& point = *iter_.Point();
    std::unique_ptr<MidiMsg> moved =
        song.DetachFromPoint(point, static_cast<std::size_t>(iter_.MsgIter().Index()));
    if (point.msgs.IsEmpty())
        iter_.TimeIter().RemovePoint();
    const auto tick = static_cast<std::int32_t>(target);
    PointCursor(song).Add(tick, std::move(moved));
    SetCurrent(iter_, tick, msg);
}
