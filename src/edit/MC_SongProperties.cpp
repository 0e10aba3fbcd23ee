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
    oldTitle_ = song_.title;
    oldAuthor_ = song_.author;
    oldCopyright_ = song_.copyright;
    oldInstructions_ = song_.instructions;
    oldTicksPerQuarter_ = song_.TicksPerQuarter();
    if (ticksPerQuarter_ != oldTicksPerQuarter_) {
        oldTempos_ = song_.Tempos();
        oldRecords_.Take(song_, 0, song_.LastTick());
        if (!song_.SetTicksPerQuarter(ticksPerQuarter_))
            oldRecords_ = SpanSnapshot(); // refused: nothing moved
    }
    Apply(song_.title, title_);
    Apply(song_.author, author_);
    Apply(song_.copyright, copyright_);
    Apply(song_.instructions, instructions_);
}

void MC_SongProperties::Undo() {
    song_.title = oldTitle_;
    song_.author = oldAuthor_;
    song_.copyright = oldCopyright_;
    song_.instructions = oldInstructions_;
    if (oldRecords_.Taken()) {
        song_.SetTicksPerQuarter(oldTicksPerQuarter_);
        song_.ReplaceTempos(oldTempos_);
        oldRecords_.Restore(song_);
    }
}
