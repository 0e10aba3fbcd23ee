#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/MidiMsg.h"
#include "model/MusicalTime.h"
#include "model/PointIndex.h"
#include "model/SongDevice.h"
#include "model/SongTimePoint.h"
#include "model/Track.h"
#include "util/AString.h"
#include "util/LinkedList.h"
#include "util/PArray.h"

class SongTimeIter;
class SongIter;

// A text property that remembers whether it was ever set: a title set to "" is saved,
// a title never set is not.
struct SongText {
    AString text;
    bool set = false;
    void Set(const AString& value) {
        text = value;
        set = true;
    }
};

// One open document: every event of every track in one time-ordered chain of time
// points, plus the tempo list, the signature list, the track table and the properties.
//
// Cursors (SongTimeIter, SongIter) register with their song; structural edits made
// through the song or any cursor move the other cursors off removed points and keep
// every surviving point at its absolute tick.
//
// Every change of a point's delta goes through the song, which keeps an index of the
// points (PointIndex) in step: finding the point at a tick and the tick of a point take
// logarithmic time. The list from Points() is for walking; points are added and removed
// only through the song or a cursor.
class Song {
public:
    using PointList = LinkedList<SongTimePoint>;
    using Node = PointList::Node;

    Song();
    ~Song();
    Song(const Song&) = delete;
    Song& operator=(const Song&) = delete;

    // --- events -------------------------------------------------------------------
    // Adds a record at an absolute tick. Cheapest when ticks arrive in order, anywhere
    // else it costs a look-up in the index.
    void AddMsg(std::int32_t tick, std::unique_ptr<MidiMsg> msg);
    void RewindInsertion();
    std::int32_t LastTick() const { return index_.Total(); }
    PointList& Points() { return points_; }
    std::size_t PointCount() const { return points_.Count(); }

    // Text, system-exclusive and other meta events of the conductor track that are not
    // song properties.
    void AddSongMessage(std::unique_ptr<MidiMsg> msg) { songMessages_.Add(std::move(msg)); }
    PArray<MidiMsg>& SongMessages() { return songMessages_; }
    const PArray<MidiMsg>& SongMessages() const { return songMessages_; }

    // --- tracks -------------------------------------------------------------------
    std::size_t AddTrack(std::uint8_t channel, std::uint8_t program, std::int32_t bank);
    std::size_t TrackCount() const { return tracks_.Count(); }
    Track* GetTrack(std::size_t n) const { return n < tracks_.Count() ? tracks_[n] : nullptr; }
    // For n == TrackCount() the answer is "none" (255, 255, -1).
    void GetTrackProperties(std::size_t n, std::uint8_t& channel, std::uint8_t& program,
                            std::int32_t& bank) const;
    // Channel 255 / program 255 leave that part alone. Every record of the track follows.
    void SetTrackProperties(std::size_t n, std::uint8_t channel, std::uint8_t program,
                            std::int32_t bank);
    // Removes track n and its records; later tracks move down by one.
    void DeleteTrack(std::size_t n);
    // Puts a track record back at n; records keep the track numbers they carry, so the
    // caller renumbers them.
    void InsertTrack(std::size_t n, const Track& track);
    // True when every track's non-text records use one channel and its notes one program.
    bool TracksConsistent() const;
    // The track new notes on (channel, program) go to; program 255 means any. Creates the
    // track when there is none.
    std::uint16_t FindTrack(std::uint8_t channel, std::uint8_t program);
    void InvalidateTrackLookup() { trackLookupBuilt_ = false; }

    // --- resolution ---------------------------------------------------------------
    std::int32_t TicksPerQuarter() const { return ticksPerQuarter_; }
    // Rescales every tick and duration; points that land on one tick become one. Values
    // outside 1..32767 are refused, and so is a resolution that would carry the song or
    // a note past the last tick.
    bool SetTicksPerQuarter(std::int32_t ticks);
    static bool IsOfferedResolution(std::int32_t ticks);

    // --- tempo list ---------------------------------------------------------------
    std::int32_t FirstTempo();
    bool NextTempo(std::int32_t& tick, std::int32_t& tempo);
    std::int32_t TempoAt(std::int32_t tick);
    std::size_t SetTempo(std::int32_t tick, std::int32_t tempo);
    void SetTempoByIndex(std::size_t index, std::int32_t tick, std::int32_t tempo);
    bool GetTempo(std::size_t index, std::int32_t& tick, std::int32_t& tempo) const;
    bool RemoveTempo(std::size_t index);
    std::size_t TempoCount() const { return tempos_.Count(); }
    // The whole list, and putting a whole list back (undo); an empty list or one that
    // does not start at tick 0 is refused.
    std::vector<SongTempo> Tempos() const;
    bool ReplaceTempos(const std::vector<SongTempo>& tempos);

    // --- time and key signatures --------------------------------------------------
    // numerator kKeepTime keeps the time part, key kKeepKey the key part.
    std::size_t SetSignature(std::int32_t measure, std::int32_t numerator, std::int32_t denominator,
                             std::int32_t key, std::int32_t mode);
    std::size_t SetTimeSignature(std::int32_t measure, std::int32_t numerator,
                                 std::int32_t denominator) {
        return SetSignature(measure, numerator, denominator, kKeepKey, 0);
    }
    std::size_t SetKeySignature(std::int32_t measure, std::int32_t key, std::int32_t mode) {
        return SetSignature(measure, kKeepTime, 0, key, mode);
    }
    const TimeAndKeySignature* FirstSignature();
    const TimeAndKeySignature* NextSignature();
    const TimeAndKeySignature* GetSignature(std::size_t index) const;
    TimeAndKeySignature* GetSignatureForEdit(std::size_t index) const;
    bool RemoveSignature(std::size_t index);
    std::size_t SignatureCount() const { return signatures_.Count(); }
    std::vector<TimeAndKeySignature> Signatures() const;
    bool ReplaceSignatures(const std::vector<TimeAndKeySignature>& signatures);
    // The entry in force at a measure.
    const TimeAndKeySignature& SignatureAtMeasure(std::int32_t measure) const;

    // --- musical time -------------------------------------------------------------
    std::int32_t MeasureTicks(const TimeAndKeySignature& sig) const;
    MusicalTime TickToMusicalTime(std::int32_t tick, std::int32_t* tickInMeasure = nullptr) const;
    // False for a position that does not exist (beat or tick too large).
    bool MusicalTimeToTick(const MusicalTime& time, std::int32_t& tick) const;
    std::int32_t MeasureToTick(std::int32_t measure) const;

    // --- properties ---------------------------------------------------------------
    AString fileName;
    SongText title;
    SongText author;
    SongText copyright;
    SongText instructions;

    const AString& DeviceFile() const { return deviceFile_; }
    // Stores the name and loads that device definition in place of the old one.
    void SetDeviceFile(const AString& fileName);
    SongDevice& Device() const { return *device_; }

    // --- structure, for cursors and editing ----------------------------------------
    // Inserts a point before `where` (End() appends) `delta` ticks after the point
    // before it; the following point's delta shrinks by the same amount. A point past
    // kEndTick is a programming error.
    Node InsertPointBefore(Node where, std::int32_t delta);
    // Removes a point and its records; returns the node that followed it.
    Node RemovePoint(Node where);
    // Record-level edits on one point, keeping cursors on that point in step.
    void AddToPoint(SongTimePoint& point, std::unique_ptr<MidiMsg> msg);
    void RemoveFromPoint(SongTimePoint& point, std::size_t index);
    std::unique_ptr<MidiMsg> DetachFromPoint(SongTimePoint& point, std::size_t index);
    // Puts a record at an exact index, bypassing the control-change rules of Add: undo
    // uses it to put records back where they were.
    void InsertIntoPoint(SongTimePoint& point, std::size_t index, std::unique_ptr<MidiMsg> msg);
    // Replaces every record of a point; cursors on it keep their index where it still
    // exists.
    void ReplacePointMsgs(SongTimePoint& point, std::vector<std::unique_ptr<MidiMsg>> msgs);
    // Moves `where` (at absolute `tick`, as the caller's cursor knows it) and every later
    // point by `amount` ticks. A point may not pass the one before it, nor go past
    // kEndTick.
    void ShiftPoints(Node where, std::int32_t tick, std::int32_t amount);
    // Absolute tick of a point; the song's length for End().
    std::int32_t TickOf(Node node) const;

private:
    friend class SongTimeIter;
    friend class SongIter;

    void Register(SongTimeIter* it);
    void Unregister(SongTimeIter* it);
    void Register(SongIter* it);
    void Unregister(SongIter* it);
    void RecomputeCursorTicks();
    void SyncEndCursors();
    void AfterRecordRemoved(const SongTimePoint& point, long index);
    void AfterRecordInserted(const SongTimePoint& point, long index);

    PointList points_;
    PointIndex index_{points_};
    // Insertion cursor: a point and its tick.
    Node cursor_;
    std::int32_t cursorTick_ = 0;

    AString deviceFile_;
    std::unique_ptr<SongDevice> device_;
    std::int32_t ticksPerQuarter_ = 384;

    PArray<TimeAndKeySignature> signatures_;
    std::size_t signatureCursor_ = 0;
    PArray<SongTempo> tempos_;
    std::size_t tempoCursor_ = 0;

    PArray<Track> tracks_;
    PArray<MidiMsg> songMessages_;

    bool trackLookupBuilt_ = false;
    std::array<std::array<std::uint16_t, 16>, 128> trackLookup_{};

    std::vector<SongTimeIter*> timeIters_;
    std::vector<SongIter*> iters_;
};
