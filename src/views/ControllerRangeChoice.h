#pragma once

#include <cstdint>
#include <memory>

#include "devices/ControllerGraphType.h"

// The fields of "Controller Range Options" apart from its controls: the shape, its two
// levels on the 0 to 127 scale, the two adjustments, and whether the range is only
// erased.
struct ControllerRangeChoice {
    static constexpr int kLevelTop = 127;
    static constexpr int kAdjustmentTop = 100;

    int shape = ControllerGraphType::kLine;
    int startLevel = 0;
    int endLevel = 0;
    // 32 makes the squared shape a straight line; 3 lets the sine run half a wave.
    int adjustment1 = 32;
    int adjustment2 = 3;
    bool eraseOnly = false;

    // Both levels at a controller's resting value, brought to the 0 to 127 scale.
    static ControllerRangeChoice AtRest(std::int32_t resting);
    // The shape with its levels scaled to a controller whose values reach `highest`.
    std::unique_ptr<ControllerGraphType> MakeShape(std::int32_t highest) const;
};
