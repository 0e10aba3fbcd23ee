#pragma once

#include "devices/ControllerGraphType.h"

// Straight from the start level to the end level.
class CGraph_Line : public ControllerGraphType {
public:
    double Fraction(double x) const override;
};
