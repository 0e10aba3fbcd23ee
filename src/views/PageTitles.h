#pragma once

#include <cstdint>
#include <vector>

#include "util/AString.h"
#include "views/DrawSurface.h"

class Song;

// The lines above the music on a printed page: the song's title ("Untitled" without
// one) in bold, its author, copyright and instructions where it has them, then an empty
// line. Each line is set smaller when it is wider than the page.
class PageTitles {
public:
    // `lineHeight` in device pixels: the title's font height; subtitles are 0.8 of it.
    PageTitles(const Song& song, std::int32_t lineHeight);

    std::int32_t LineHeight() const { return lineHeight_; }
    const SurfaceFont& TitleFont() const { return titleFont_; }
    // The height the lines take, the empty line included.
    std::int32_t Height() const;
    void Paint(DrawSurface& surface, std::int32_t pageWidth) const;

private:
    const Song& song_;
    std::int32_t lineHeight_;
    SurfaceFont titleFont_;
    SurfaceFont subtitleFont_;
    std::vector<const AString*> subtitles_;
};
