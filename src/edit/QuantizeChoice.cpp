#include "edit/QuantizeChoice.h"

Refusal QuantizeChoice::Accept(const NoteEditor& editor, std::int32_t selectionStart,
                               NoteEditor::QuantizeOptions& options) const {
    NoteEditor::QuantizeOptions chosen;
    chosen.grid = NoteEditor::AlignGrid(entry, editor.GetSong().TicksPerQuarter());
    chosen.alignBeginnings = chosen.grid > 0 && alignBeginnings;
    chosen.alignDurations = chosen.grid > 0 && alignDurations;
    chosen.fitToTime = fitToTime;
    chosen.moveRest = moveRest;
    if (fitToTime) {
        chosen.fitLength = editor.AmountToTicks(selectionStart, fitAmount);
        if (chosen.fitLength <= 0)
            return Refusal(NoteEditor::kFitToZero, MessageIcon::Stop);
    }
    options = chosen;
    return {};
}
