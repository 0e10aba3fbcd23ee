#include "edit/MC_ChangeLyric.h"

MC_ChangeLyric::MC_ChangeLyric(MidiMsgText& event, AString text)
    : CPCommand(kCmdChangeLyric), event_(event), text_(std::move(text)) {}
