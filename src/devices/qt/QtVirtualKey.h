#pragma once

#include <QtCore/qnamespace.h>

#include <cstdint>

// A key press as the key table sees it.
struct VirtualKeyPress {
    std::uint8_t key = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// Turns a Qt key code and its modifiers into the virtual-key code of the key table. Keys
// that Qt reports by their shifted character on a US layout ("!", "{", "?") give the
// code of the key that carries them. False for keys without a code.
bool TranslateQtKey(int qtKey, Qt::KeyboardModifiers modifiers, VirtualKeyPress& press);
