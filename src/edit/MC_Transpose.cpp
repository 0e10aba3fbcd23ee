#include "edit/MC_Transpose.h"

#include "edit/BlockOps.h"

MC_Transpose::MC_Transpose(SongIter& viewIter, std::int32_t start, std::int32_t end, int semitones)
    : MC_UndoableSongIter(kCmdTranspose, viewIter), start_(start), end_(end),
      semitones_(semitones) {}

void MC_Transpose::Execute() {
    Frame frame(*this);
    before_.Take(GetSong(), start_, end_);
    BlockOps::Transpose(Iter(), start_, end_, semitones_);
}

void MC_Transpose::Undo() {
    Frame frame(*this);
    before_.Restore(GetSong());
}
