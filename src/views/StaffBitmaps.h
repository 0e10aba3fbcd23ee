#pragma once

#include "views/DrawSurface.h"

// The small pictures of the staff view: the strip that marks a measure shown from its
// middle (tall for the grand staff, short otherwise) and the note-placement preview.
const SurfaceBitmap& CutMarkerBitmap(bool grandStaff);
const SurfaceBitmap& PlacementPreviewBitmap();
