#include "devices/CGraph_Parabola.h"

double CGraph_Parabola::Fraction(double x) const {
    const double d = 2 * x - 1;
    return d * d;
}
