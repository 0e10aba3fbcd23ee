#pragma once

#include <memory>

#include "edit/BlockCopy.h"

// The one clipboard of the program, shared by every song window; empty until the first
// copy or cut. User-interface thread only.
class Clipboard {
public:
    static const BlockCopy* Get();
    static void Set(std::unique_ptr<BlockCopy> copy);
    static void Clear();
};
