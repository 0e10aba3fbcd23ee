#pragma once

#include <cstdint>

#include "edit/NoteEditor.h"
#include "model/MusicalTime.h"
#include "util/Refusal.h"

// What the Quantize dialog holds, the fields it enables, and whether OK may close it.
struct QuantizeChoice {
    // The "Align To:" entries, "No Align" first.
    static constexpr const char* kEntries[] = {
        "No Align", "Third",     "Quarter",       "Sixth",         "Eighth",
        "Twelfth",  "Sixteenth", "Twenty Fourth", "Thirty Second", "Sixty Fourth"};

    int entry = 0;
    bool alignBeginnings = false;
    bool alignDurations = false;
    bool fitToTime = false;
    MusicalTime fitAmount; // bars, beats and ticks, counted from 0
    bool moveRest = true;

    bool AlignBoxesEnabled() const { return entry > 0; }
    bool FitFieldsEnabled() const { return fitToTime; }
    // A refusal keeps the dialog open; otherwise `options` is what to do.
    Refusal Accept(const NoteEditor& editor, std::int32_t selectionStart,
                   NoteEditor::QuantizeOptions& options) const;
};
