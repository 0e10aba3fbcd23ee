#pragma once

#include <cstdint>

#include "model/Song.h"

class ViewFilter;

// Walks the time points of a song. Registered with the song while it lives, so that
// points removed through anybody move it on to the following point.
class SongTimeIter {
public:
    explicit SongTimeIter(Song& song);
    SongTimeIter(const SongTimeIter& other);
    SongTimeIter& operator=(const SongTimeIter& other);
    ~SongTimeIter();

    Song* GetSong() const { return song_; }
    bool AtEnd() const;
    SongTimePoint* Point() const;
    Song::Node GetNode() const { return node_; }
    // Tick of the current point; at the end, the song's last tick.
    std::int32_t Tick() const { return tick_; }

    void First();
    // Lands on the first point at or after `tick`, or the end.
    void Seek(std::int32_t tick);
    bool Next();
    bool Prev();

    // Removes the current point with its records and moves to the next one.
    void RemovePoint();
    // A new point `delta` ticks after the current one (from the end: after the last
    // point); the iterator moves onto it. `delta` may not pass the next point.
    void InsertAfter(std::int32_t delta);
    // A new point `delta` ticks after the previous point, before the current one; the
    // iterator moves onto it.
    void InsertBefore(std::int32_t delta);

private:
    friend class Song;
    void Detach();
    void SetPosition(Song::Node node, std::int32_t tick);

    Song* song_;
    Song::Node node_;
    std::int32_t tick_ = 0;
};

// Walks the records of one time point.
class SongMsgIter {
public:
    SongMsgIter() = default;
    void Attach(SongTimePoint* point) {
        point_ = point;
        index_ = 0;
    }
    SongTimePoint* Point() const { return point_; }
    long Index() const { return index_; }
    void SetIndex(long index) { index_ = index; }
    bool AtEnd() const {
        return !point_ || index_ < 0 || static_cast<std::size_t>(index_) >= point_->msgs.Count();
    }
    MidiMsg* Current() const {
        return AtEnd() ? nullptr : point_->msgs[static_cast<std::size_t>(index_)];
    }
    bool Next() {
        ++index_;
        return !AtEnd();
    }

private:
    SongTimePoint* point_ = nullptr;
    long index_ = 0;
};

// The cursor every reader of a song uses: time points and their records, seen through
// an optional filter. Points with nothing that matches are passed over and their deltas
// gathered in the skipped delta.
class SongIter {
public:
    explicit SongIter(Song& song, const ViewFilter* filter = nullptr);
    SongIter(const SongIter&) = delete;
    SongIter& operator=(const SongIter&) = delete;
    ~SongIter();

    Song* GetSong() const { return time_.GetSong(); }
    void SetFilter(const ViewFilter* filter) { filter_ = filter; }
    const ViewFilter* Filter() const { return filter_; }
    bool Matches(const MidiMsg& msg) const;

    // Seeks to the first matching record at or after `tick`. False at the end.
    bool Seek(std::int32_t tick);
    // Next matching record in the current point; false when the point is exhausted.
    bool NextMsg();
    // On to the next point with a matching record; false at the end.
    bool NextPoint();
    // Next matching record in song order.
    bool Next();
    // Passes over points without a match, starting with the current one. False at the end.
    bool SkipToMatch();

    bool AtEnd() const { return time_.AtEnd(); }
    MidiMsg* Msg() const { return AtEnd() ? nullptr : msg_.Current(); }
    std::int32_t Tick() const { return time_.Tick(); }
    SongTimePoint* Point() const { return time_.Point(); }
    SongTimeIter& TimeIter() { return time_; }
    SongMsgIter& MsgIter() { return msg_; }
    std::int32_t SkippedDelta() const { return skippedDelta_; }
    void ResetSkippedDelta() { skippedDelta_ = 0; }

    // Removes the current record; the cursor steps back so that Next continues with the
    // record after it. A point left empty stays until RemoveEmptyPoint.
    void RemoveMsg();
    // Removes the current point when it holds no records; the cursor moves to the next.
    bool RemoveEmptyPoint();

private:
    friend class Song;
    bool FindMatchFromIndex();

    SongTimeIter time_;
    SongMsgIter msg_;
    std::int32_t skippedDelta_ = 0;
    const ViewFilter* filter_;
};
