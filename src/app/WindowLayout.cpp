#include "app/WindowLayout.h"

namespace {

// Per size: width and height, and the offset step, in dialog units. A dialog unit is
// taken as two pixels, as in the tool strip templates.
struct SizeRow {
    int base, width, height, stepX, stepY;
};
constexpr SizeRow kSizes[] = {
    {500, 450, 300, 12, 11},
    {505, 352, 235, 18, 16},
    {510, 281, 188, 15, 14},
};
constexpr int kPixelsPerUnit = 2;

} // namespace

WindowLayout WindowLayout::ForScreenWidth(int pixels) {
    if (pixels < 641)
        return {510, 560, 400};
    if (pixels <= 800)
        return {505, 705, 495};
    return {500, 900, 630};
}

WindowLayout::Placement WindowLayout::Place(int step) const {
    const SizeRow* row = &kSizes[0];
    for (const SizeRow& r : kSizes)
        if (r.base == templateBase)
            row = &r;
    step = ((step % 5) + 5) % 5;
    Placement p;
    p.width = row->width * kPixelsPerUnit;
    p.height = row->height * kPixelsPerUnit;
    p.x = step * row->stepX * kPixelsPerUnit;
    p.y = step * row->stepY * kPixelsPerUnit;
    p.maximised = step == 0;
    return p;
}
