#pragma once

#include "devices/ControllerGraphType.h"

// A cosine swinging between the two levels: the second adjustment sets how far it runs
// (each step a quarter of a half wave more), the first shifts its phase.
class CGraph_Sin_Wave : public ControllerGraphType {
public:
    double Fraction(double x) const override;
};
