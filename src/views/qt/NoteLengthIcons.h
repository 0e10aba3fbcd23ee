#pragma once

#include <QIcon>

// The pictures of the seven note-length buttons (0 = 1/64 ... 6 = whole), drawn with the
// music font so that they look like the notes on the staff.
QIcon NoteLengthIcon(int button);
