#pragma once

#include <vector>

#include "edit/CPCommand.h"
#include "edit/SpanSnapshot.h"
#include "model/Song.h"

// Title, author, copyright, instructions and resolution of a song.
class MC_SongProperties : public CPCommand {
public:
    MC_SongProperties(Song& song, AString title, AString author, AString copyright,
                      AString instructions, std::int32_t ticksPerQuarter);
    bool IsUndoable() const override { return true; }
    const char* GetName() const override { return "Song Properties"; }
    void Execute() override;
    void Undo() override;

private:
    Song& song_;
    AString title_, author_, copyright_, instructions_;
    std::int32_t ticksPerQuarter_;

    // What undo puts back. A new resolution rounds every time and length, so going back
    // to the old one cannot recover them; the song's records are kept whole instead.
    SongText oldTitle_, oldAuthor_, oldCopyright_, oldInstructions_;
    std::int32_t oldTicksPerQuarter_ = 0;
    std::vector<SongTempo> oldTempos_;
    SpanSnapshot oldRecords_;
};
