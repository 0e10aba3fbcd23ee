#include "devices/CGraph_Line.h"

double CGraph_Line::Fraction(double x) const {
    return x;
}
