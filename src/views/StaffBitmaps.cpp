#include "views/StaffBitmaps.h"

namespace {

constexpr std::uint32_t kClear = 0x00000000;
constexpr std::uint32_t kInk = 0xff404040;

// A zigzag four pixels wide, like a torn edge.
SurfaceBitmap MakeCutMarker(std::int32_t height) {
    SurfaceBitmap bitmap{4, height,
                         std::vector<std::uint32_t>(static_cast<std::size_t>(4 * height), kClear)};
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t phase = y % 6;
        const std::int32_t x = phase < 3 ? phase : 6 - phase;
        bitmap.pixels[static_cast<std::size_t>(y * 4 + x)] = kInk;
        bitmap.pixels[static_cast<std::size_t>(y * 4 + (x + 1 < 4 ? x + 1 : x))] = kInk;
    }
    return bitmap;
}

// A filled oval, a note head seen small.
SurfaceBitmap MakePreview() {
    constexpr std::int32_t w = 9, h = 7;
    SurfaceBitmap bitmap{w, h, std::vector<std::uint32_t>(w * h, kClear)};
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            const double dx = (x - 4) / 4.6, dy = (y - 3) / 3.6;
            if (dx * dx + dy * dy <= 1.0)
                bitmap.pixels[static_cast<std::size_t>(y * w + x)] = 0xffff0000;
        }
    return bitmap;
}

} // namespace

const SurfaceBitmap& CutMarkerBitmap(bool grandStaff) {
    static const SurfaceBitmap tall = MakeCutMarker(122);
    static const SurfaceBitmap shortStrip = MakeCutMarker(33);
    return grandStaff ? tall : shortStrip;
}

const SurfaceBitmap& PlacementPreviewBitmap() {
    static const SurfaceBitmap preview = MakePreview();
    return preview;
}
