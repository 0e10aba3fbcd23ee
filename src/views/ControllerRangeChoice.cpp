#include "views/ControllerRangeChoice.h"

#include <algorithm>

ControllerRangeChoice ControllerRangeChoice::AtRest(std::int32_t resting) {
    ControllerRangeChoice choice;
    // Fourteen-bit values show by their coarse part.
    const int level = resting > kLevelTop ? resting / 128 : resting;
    choice.startLevel = choice.endLevel = std::clamp(level, 0, kLevelTop);
    return choice;
}

std::unique_ptr<ControllerGraphType> ControllerRangeChoice::MakeShape(std::int32_t highest) const {
    std::unique_ptr<ControllerGraphType> made = ControllerGraphType::Make(shape);
    const double scale = static_cast<double>(highest) / kLevelTop;
    made->SetLevels(std::clamp(startLevel, 0, kLevelTop) * scale,
                    std::clamp(endLevel, 0, kLevelTop) * scale);
    made->SetAdjustments(std::clamp(adjustment1, 0, kAdjustmentTop),
                         std::clamp(adjustment2, 0, kAdjustmentTop));
    return made;
}
