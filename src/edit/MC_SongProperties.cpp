#include "edit/MC_SongProperties.h"

namespace {

// A text never set stays unset while it is left empty, so that saving adds nothing.
void Apply(SongText& text, const AString& value) {
    if (text.set || !value.IsEmpty())
        text.Set(value);
}

} // namespace

MC_SongProperties::MC_SongProperties(Song& song, AString title, AString author, AString copyright,
                                     AString instructions, std::int32_t ticksPerQuarter)
    : CPCommand(kCmdSongProperties), song_(song), title_(std::move(title)),
      author_(std::move(author)), copyright_(std::move(copyright)),
      instructions_(std::move(instructions)), ticksPerQuarter_(ticksPerQuarter) {}

void MC_SongProperties::Execute() {
    song_.SetTicksPerQuarter(ticksPerQuarter_);
    Apply(song_.title, title_);
    Apply(song_.author, author_);
    Apply(song_.copyright, copyright_);
    Apply(song_.instructions, instructions_);
}
