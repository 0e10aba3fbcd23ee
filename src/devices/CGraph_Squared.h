#pragma once

#include "devices/ControllerGraphType.h"

// A power curve: the first adjustment sets the power, from a steep start (low settings)
// through a straight line (32) to a slow start (high settings).
class CGraph_Squared : public ControllerGraphType {
public:
    double Fraction(double x) const override;
};
