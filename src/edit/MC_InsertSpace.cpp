#include "edit/MC_InsertSpace.h"

#include "edit/BlockOps.h"
#include "edit/EditSupport.h"

MC_InsertSpace::MC_InsertSpace(SongIter& viewIter, std::int32_t time, std::int32_t length)
    : MC_UndoableSongIter(kCmdInsertSpace, viewIter), time_(time), length_(length) {}

void MC_InsertSpace::Execute() {
    Frame frame(*this);
    opened_ = BlockOps::InsertSpace(GetSong(), time_, length_);
}

void MC_InsertSpace::Undo() {
    Frame frame(*this);
    if (opened_)
        CloseSpace(GetSong(), time_, length_);
}
