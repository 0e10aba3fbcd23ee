#include "devices/CGraph_Squared.h"

#include <cmath>
#include <numbers>

double CGraph_Squared::Fraction(double x) const {
    return std::pow(x, (Adjustment1() + 1) / 33);
}
