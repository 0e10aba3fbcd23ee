#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "model/Song.h"
#include "model/ViewOptions.h"
#include "support/SongBuilder.h"
#include "views/StaffArranger.h"

// A song from the compact text form, laid out measure by measure.
struct ArrangedSong {
    std::unique_ptr<Song> song;
    std::unique_ptr<StaffArranger> arranger = std::make_unique<StaffArranger>();
    std::vector<std::unique_ptr<MeasureDrawInfo>> measures;

    ArrangedSong(const std::string& text, int ticksPerQuarter = 384,
                 std::int32_t clef = kClefTreble)
        : song(BuildSong(text, ticksPerQuarter)) {
        ViewOptions options;
        options.clefType = clef;
        arranger->Configure(options);
    }
    const MeasureDrawInfo& Arrange(int count, std::int32_t startTick = 0) {
        arranger->Start(*song, nullptr, startTick);
        measures.clear();
        for (int i = 0; i < count; ++i)
            measures.push_back(arranger->ArrangeNextMeasure());
        return *measures.front();
    }
    const MeasureDrawInfo& operator[](std::size_t i) const { return *measures.at(i); }
};

template <class Item>
std::vector<const Item*> ItemsOf(const MeasureDrawInfo& measure, DrawItemKind kind) {
    std::vector<const Item*> found;
    for (const DrawItemInfoList& column : measure.columns)
        for (const DrawItemInfo* item : column)
            if (item->kind == kind)
                found.push_back(static_cast<const Item*>(item));
    return found;
}
inline std::vector<const NoteDrawItem*> Notes(const MeasureDrawInfo& m) {
    return ItemsOf<NoteDrawItem>(m, kItemNote);
}
inline std::vector<const RestDrawItem*> Rests(const MeasureDrawInfo& m) {
    std::vector<const RestDrawItem*> rests = ItemsOf<RestDrawItem>(m, kItemRest);
    std::stable_sort(rests.begin(), rests.end(), [](const RestDrawItem* a, const RestDrawItem* b) {
        return a->time < b->time;
    });
    return rests;
}
// "time:type" for each rest, in time order: short to read in a failing test.
inline std::string RestText(const MeasureDrawInfo& m) {
    std::string text;
    for (const RestDrawItem* r : Rests(m))
        text += (text.empty() ? "" : " ") + std::to_string(r->time) + ":" +
                std::to_string(r->durationType);
    return text;
}
