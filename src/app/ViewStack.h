#pragma once

#include <vector>

// Where the views of a song window go: stacked from the top, all of one height. When
// they do not all fit at their least height, a run of them is shown and the window's
// vertical scroll bar moves the run.
struct ViewStack {
    static constexpr int kMaxViews = 10;

    struct Slot {
        int view = 0; // index into the stack
        int y = 0;
        int height = 0;
    };

    // How many views fit in `areaHeight` at `minHeight` each (at least one).
    static int VisibleCount(int views, int areaHeight, int minHeight);
    // The slots of the views shown when the run starts at `first`; the remainder of the
    // division goes to the view that ends the run.
    static std::vector<Slot> Layout(int views, int areaHeight, int minHeight, int first);
    // The least view height for a screen: a quarter of its height, at least 150 pixels.
    static int MinimumHeight(int screenHeight);
};
