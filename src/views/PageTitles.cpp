#include "views/PageTitles.h"

#include <algorithm>

#include "model/Song.h"

PageTitles::PageTitles(const Song& song, std::int32_t lineHeight)
    : song_(song), lineHeight_(std::max(lineHeight, 1)), titleFont_{"Arial", lineHeight_, 700},
      subtitleFont_{"Arial", static_cast<std::int32_t>(0.8 * lineHeight_), 400} {
    for (const SongText* text : {&song.author, &song.copyright, &song.instructions})
        if (!text->text.Displayed().empty())
            subtitles_.push_back(&text->text);
}

std::int32_t PageTitles::Height() const {
    return (2 + static_cast<std::int32_t>(subtitles_.size())) * lineHeight_;
}

void PageTitles::Paint(DrawSurface& surface, std::int32_t pageWidth) const {
    surface.SetTextColor({0, 0, 0});
    // Each line's baseline sits a fifth of the line above its bottom.
    std::int32_t lineTop = 0;
    auto centred = [&](const SurfaceFont& font, std::string_view text) {
        const std::string shown(text);
        SurfaceFont fitted = font;
        surface.SetFont(fitted);
        std::int32_t width = surface.GetTextExtent(shown).width;
        // A title wider than the page is set smaller until it fits, so that nothing of
        // it is cut at the edges.
        for (int tries = 0; width > pageWidth && fitted.height > 1 && tries < 8; ++tries) {
            fitted.height = std::max<std::int32_t>(
                1, static_cast<std::int32_t>(static_cast<std::int64_t>(fitted.height) * pageWidth /
                                             width));
            surface.SetFont(fitted);
            width = surface.GetTextExtent(shown).width;
        }
        surface.TextOut(std::max((pageWidth - width) / 2, 0), lineTop + lineHeight_ * 4 / 5, shown);
        lineTop += lineHeight_;
    };
    const std::string_view title = song_.title.text.Displayed();
    centred(titleFont_, title.empty() ? std::string_view("Untitled") : title);
    for (const AString* subtitle : subtitles_)
        centred(subtitleFont_, subtitle->Displayed());
}
