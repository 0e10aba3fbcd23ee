#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "edit/BlockOps.h"
#include "edit/MC_PasteBlock.h"
#include "edit/NoteEditor.h"

class QWidget;

// The dialogs of the block operations, each asked over a note view's editor. Every one
// reads times as bars, beat and ticks of the song's time map, refuses what cannot be
// done with a message while it stays open, and gives nothing on Cancel.
namespace BlockDialogs {

struct Range {
    std::int32_t start = 0;
    std::int32_t end = 0;
};
// "Time Range Select", opening on the selection (or the current time).
std::optional<Range> AskTimeRange(QWidget* parent, const NoteEditor& editor);
// "Paste Options", opening with the editor's defaults.
bool AskPasteOptions(QWidget* parent, const NoteEditor& editor, PasteOptions& options);
// "Insert Space" or "Delete Range" at a time: the time (which may be changed) and the
// amount in ticks.
struct Space {
    std::int32_t at = 0;
    std::int32_t length = 0;
};
std::optional<Space> AskSpace(QWidget* parent, const NoteEditor& editor, bool insert,
                              std::int32_t at);
// "Transpose": signed semitones.
std::optional<int> AskTranspose(QWidget* parent);
// "Quantize" over the selection.
std::optional<NoteEditor::QuantizeOptions> AskQuantize(QWidget* parent, const NoteEditor& editor,
                                                       std::int32_t selectionStart);
// "Selection Velocity" (velocities only) or "Range Selection Properties" (also the
// instrument and channel).
std::optional<SelectionProps> AskSelectionProperties(QWidget* parent, bool withInstrument);
// "Enter Lyric" and "Enter Audio File Name"; the latter offers the wave files beside the
// song (`songFolder`, empty for a song never saved).
std::optional<AString> AskLyric(QWidget* parent, const AString& text);
std::optional<AString> AskAudioFileName(QWidget* parent, const AString& name,
                                        const AString& songFolder);

} // namespace BlockDialogs
