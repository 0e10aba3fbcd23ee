#pragma once

#include <cstdint>
#include <memory>

// A shape a controller's values follow across a range of time: x runs from 0 at the
// range's start to 1 at its end, and the value moves from the start level toward the end
// level by the shape's own fraction. The two adjustments bend the shapes that have
// something to bend.
class ControllerGraphType {
public:
    enum Shape { kLine = 0, kSquared = 1, kSinWave = 2, kParabola = 3, kShapeCount = 4 };

    virtual ~ControllerGraphType() = default;

    // The shapes in the order the range dialog offers them.
    static std::unique_ptr<ControllerGraphType> Make(int shape);
    static const char* Name(int shape);

    void SetLevels(double start, double end) {
        start_ = start;
        end_ = end;
    }
    void SetAdjustments(double first, double second) {
        adjustment1_ = first;
        adjustment2_ = second;
    }
    double StartLevel() const { return start_; }
    double EndLevel() const { return end_; }
    double Adjustment1() const { return adjustment1_; }
    double Adjustment2() const { return adjustment2_; }

    // The level at x, rounded half up.
    std::int32_t Value(double x) const;
    // How far from the start level toward the end level the shape is at x.
    virtual double Fraction(double x) const = 0;

private:
    double start_ = 0;
    double end_ = 0;
    double adjustment1_ = 0;
    double adjustment2_ = 0;
};
