#pragma once

#include "devices/ControllerGraphType.h"

// Down from the end level to the start level at the middle of the range and back up.
class CGraph_Parabola : public ControllerGraphType {
public:
    double Fraction(double x) const override;
};
