#include "edit/MC_DeleteTimeKey.h"

MC_DeleteTimeKey::MC_DeleteTimeKey(Song& song, std::size_t index)
    : CPCommand(kCmdDeleteTimeKey), song_(song), index_(index) {}
