#include "edit/MC_SelectionProperties.h"

MC_SelectionProperties::MC_SelectionProperties(SongIter& viewIter, std::int32_t start,
                                               std::int32_t end, const SelectionProps& props)
    : MC_UndoableSongIter(kCmdSelectionProperties, viewIter), start_(start), end_(end),
      props_(props) {}

void MC_SelectionProperties::Execute() {
    Frame frame(*this);
    WidenFilter();
    before_.Take(GetSong(), start_, end_);
    BlockOps::SetProperties(Iter(), start_, end_, props_);
}

void MC_SelectionProperties::Undo() {
    Frame frame(*this);
    before_.Restore(GetSong());
}
