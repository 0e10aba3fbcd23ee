#include "devices/ControllerGraphType.h"

#include <cmath>

#include "devices/CGraph_Line.h"
#include "devices/CGraph_Parabola.h"
#include "devices/CGraph_Sin_Wave.h"
#include "devices/CGraph_Squared.h"

std::unique_ptr<ControllerGraphType> ControllerGraphType::Make(int shape) {
    switch (shape) {
    case kSquared:
        return std::make_unique<CGraph_Squared>();
    case kSinWave:
        return std::make_unique<CGraph_Sin_Wave>();
    case kParabola:
        return std::make_unique<CGraph_Parabola>();
    default:
        return std::make_unique<CGraph_Line>();
    }
}

const char* ControllerGraphType::Name(int shape) {
    switch (shape) {
    case kLine:
        return "Line";
    case kSquared:
        return "Squared";
    case kSinWave:
        return "Sine Wave";
    case kParabola:
        return "Parabola";
    default:
        return "";
    }
}

std::int32_t ControllerGraphType::Value(double x) const {
    return static_cast<std::int32_t>(std::trunc(start_ + (end_ - start_) * Fraction(x) + 0.5));
}
