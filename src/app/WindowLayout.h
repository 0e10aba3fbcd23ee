#pragma once

#include <cstdint>

// Sizes and places of song windows, chosen once from the screen width: small screens
// get small windows. There are three sizes of five layouts each; within a size the
// layouts differ only in how far from the corner they open, so that new windows
// stagger, and the first of each five opens maximised.
struct WindowLayout {
    int templateBase = 500; // 500, 505 or 510
    int cascadeWidth = 900;
    int cascadeHeight = 630;

    static WindowLayout ForScreenWidth(int pixels);

    struct Placement {
        int x = 0, y = 0, width = 0, height = 0;
        bool maximised = false;
    };
    // Layout `templateBase + step` (step 0 to 4) in pixels.
    Placement Place(int step) const;
};
