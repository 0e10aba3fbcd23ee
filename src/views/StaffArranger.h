#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "views/MeasureDrawInfo.h"
#include "views/StaffAccidentals.h"
#include "views/StaffBeamer.h"
#include "views/StaffItemBlock.h"
#include "views/StaffPlacement.h"
#include "views/StaffStems.h"

class Song;
class SongIter;
class ViewFilter;
struct ViewOptions;
class MidiMsg;

// Turns the notes, controllers and texts a staff shows into notation, one measure at a
// time: written values, ties over bar lines, rests, staff positions, accidentals, beams
// and stems. Knows nothing of pixels.
class StaffArranger {
    struct CarriedNote {
        std::int32_t pitch = 0;
        std::uint8_t velocity = 0;
        std::int32_t duration = 0;  // of the whole note
        std::int32_t remaining = 0; // still to be drawn
        std::int16_t tieId = -1;
    };

public:
    static constexpr std::size_t kDefaultBlockBytes = 1048576;

    // Where the next measure starts, with everything that runs on from one measure to
    // the next (tied notes, pedals, tie and beam numbers): enough to arrange the song
    // again from there. A printout keeps one per page instead of the pages' measures.
    class Position {
    public:
        std::int32_t MeasureNumber() const { return measureNumber_; }
        std::int32_t MeasureStart() const { return measureStart_; }

    private:
        friend class StaffArranger;
        std::int32_t measureNumber_ = 0;
        std::int32_t measureStart_ = 0;
        bool firstAfterStart_ = true;
        TimeAndKeySignature previous_;
        std::array<std::int32_t, 2> staffEnd_{};
        std::array<std::int8_t, 128> controllerOn_{};
        std::vector<CarriedNote> carried_;
        std::int16_t nextTieId_ = 0;
        std::int16_t nextBeamId_ = 0;
        std::size_t nextTempo_ = 0;
    };

    explicit StaffArranger(std::size_t blockBytes = kDefaultBlockBytes);
    ~StaffArranger();
    StaffArranger(const StaffArranger&) = delete;
    StaffArranger& operator=(const StaffArranger&) = delete;

    void SetGrandStaffDistance(std::int32_t positions);
    void SetClef(std::int32_t clef, std::int32_t splitDiatonic);
    void SetTicksPerQuarter(std::int32_t ticks);
    // Groups this fraction of a quarter apart or closer share a column.
    void SetTimeGroupMerge(double fraction);
    // A note joins a beam when it starts within this fraction of the first note's length
    // of where the beam's last note ended.
    void SetBeamTolerance(double fraction);
    // Symbol shown when `controller` turns on (state 1) or off (state 0); -1 none.
    void SetControllerSymbol(std::int32_t controller, std::int32_t state, std::int32_t symbol);
    // Which texts become text items.
    void SetTextTypes(bool lyrics, bool comments, bool trackName, bool tempo);
    // Everything a staff view or printout sets from a track's options: clef and split,
    // merge, beam tolerance, staff distance 10, the pedal symbols of controllers 64, 66
    // and 67, and the text switches.
    void Configure(const ViewOptions& options);

    // Starts at the measure that holds `startTick`. Measures arranged before are gone.
    void Start(Song& song, const ViewFilter* filter, std::int32_t startTick);
    std::unique_ptr<MeasureDrawInfo> ArrangeNextMeasure();
    // Rests only, for each staff; for the space after the song's end.
    std::unique_ptr<MeasureDrawInfo> ArrangeEmptyMeasure();

    // Only after Start.
    Position SavePosition() const;
    // Back (or on) to a position saved from this arrangement; measures arranged before
    // are gone.
    void RestorePosition(const Position& position);
    // Gives back the memory of every measure arranged so far; none of them may be used
    // after this.
    void ReleaseItems() { block_.Reset(); }

    bool SongUsedUp() const;
    bool HasCarriedNotes() const { return !at_.carried_.empty(); }
    // Nothing more to show: messages used up and no tied note still running.
    bool Finished() const { return SongUsedUp() && at_.carried_.empty(); }

    std::int32_t PositionToPitch(std::int32_t position, std::int32_t key, std::int32_t mode) const {
        return placement_.PositionToPitch(position, key, mode);
    }
    NotePlace PitchToPosition(std::int32_t pitch, std::int32_t key) const {
        return placement_.Place(pitch, key);
    }
    const StaffPlacement& Placement() const { return placement_; }
    std::int32_t TicksPerQuarter() const { return ticksPerQuarter_; }
    std::int32_t Threshold(std::int32_t type) const;
    std::int32_t DurationType(std::int32_t ticks) const;
    const StaffItemBlock& Block() const { return block_; }

private:
    struct PendingTempo {
        std::int32_t tick;
        std::int32_t tempo;
    };

    std::unique_ptr<MeasureDrawInfo> SetUpMeasure();
    void FinishMeasure(const MeasureDrawInfo& measure);
    void BuildItems(MeasureDrawInfo& measure);
    void PlaceCarried(MeasureDrawInfo& measure, DrawItemInfoList& column);
    void AddMsg(MeasureDrawInfo& measure, DrawItemInfoList& column, const MidiMsg& msg,
                std::int32_t msgIndex, std::int32_t time);
    NoteDrawItem* AddNote(MeasureDrawInfo& measure, DrawItemInfoList& column, std::int32_t pitch,
                          std::int32_t time, std::int32_t duration, std::int32_t partLength,
                          std::int64_t endTick, std::uint8_t velocity, std::int32_t msgIndex,
                          bool continuation);
    void AddRests(MeasureDrawInfo& measure, DrawItemInfoList& column, std::int16_t staff,
                  std::int32_t from, std::int32_t to);
    void AddRest(DrawItemInfoList& column, std::int16_t staff, std::int32_t time,
                 std::int32_t length);
    // A new item of the block at the end of the column.
    template <class Item>
    Item* AddItem(DrawItemInfoList& column, std::int32_t kind, std::int32_t time,
                  std::int32_t msgIndex);
    void AddText(DrawItemInfoList& column, std::int32_t time, std::int32_t msgIndex,
                 std::int32_t type, std::string_view text);
    void AddSymbol(DrawItemInfoList& column, std::int32_t time, std::int32_t msgIndex,
                   std::int32_t position, std::int32_t symbol);
    void FlushTempos(DrawItemInfoList& column, std::int32_t upTo);
    DrawItemInfoList& NewColumn(MeasureDrawInfo& measure);
    std::int16_t NextTieId();
    void UpdateMergeTicks();

    StaffItemBlock block_;
    StaffPlacement placement_;
    StaffAccidentals accidentals_;
    StaffBeamer beamer_;
    StaffStems stems_;

    std::int32_t ticksPerQuarter_ = 384;
    std::array<std::int32_t, kDurationTypeCount> thresholds_{};
    double mergeFraction_ = 0.01;
    std::int32_t mergeTicks_ = 3;
    double beamTolerance_ = 0.02;
    bool showLyrics_ = true;
    bool showComments_ = false;
    bool showTrackName_ = false;
    bool showTempo_ = false;

    Song* song_ = nullptr;
    std::unique_ptr<SongIter> iter_;
    Position at_; // what runs on from measure to measure
    std::array<std::array<std::int32_t, 2>, 128> controllerSymbol_{};
    std::vector<PendingTempo> tempos_;
};
