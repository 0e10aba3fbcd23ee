#include "app/ViewStack.h"

#include <algorithm>

int ViewStack::VisibleCount(int views, int areaHeight, int minHeight) {
    if (views <= 0)
        return 0;
    const int fit = std::max(areaHeight / std::max(minHeight, 1), 1);
    return std::min(views, fit);
}

std::vector<ViewStack::Slot> ViewStack::Layout(int views, int areaHeight, int minHeight,
                                               int first) {
    std::vector<Slot> slots;
    const int shown = VisibleCount(views, areaHeight, minHeight);
    if (shown == 0)
        return slots;
    first = std::clamp(first, 0, views - shown);
    const int height = std::max(areaHeight / shown, 1);
    for (int i = 0; i < shown; ++i) {
        Slot slot{first + i, i * height, height};
        if (i == shown - 1)
            slot.height = std::max(areaHeight - i * height, 1);
        slots.push_back(slot);
    }
    return slots;
}

int ViewStack::MinimumHeight(int screenHeight) {
    return std::max(screenHeight / 4, 150);
}
