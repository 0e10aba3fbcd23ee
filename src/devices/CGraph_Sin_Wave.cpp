#include "devices/CGraph_Sin_Wave.h"

#include <cmath>
#include <numbers>

double CGraph_Sin_Wave::Fraction(double x) const {
    return 0.5 * (std::cos((Adjustment2() + 1) * x * std::numbers::pi / 4 +
                           Adjustment1() * 2 * std::numbers::pi / 100) +
                  1);
}
