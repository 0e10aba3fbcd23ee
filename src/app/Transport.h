#pragma once

#include <cstdint>

// What the transport needs from its song window.
class TransportHost {
public:
    virtual ~TransportHost() = default;
    virtual bool PlayerBusy() const = 0;
    // Asks the player to stop; the stopped notice follows later.
    virtual void StopPlayer() = 0;
    virtual void StartPlayer(std::int32_t from, std::int32_t to) = 0;
    // The time of the song's last event, and its resolution.
    virtual std::int32_t SongEnd() const = 0;
    virtual std::int32_t TicksPerQuarter() const = 0;
    // The ticks the active view shows.
    virtual std::int32_t FirstVisibleTick() const = 0;
    virtual std::int32_t LastVisibleTick() const = 0;
    virtual void ScrollViewsTo(std::int32_t tick) = 0;
    virtual void ShowPlayBar(std::int32_t tick) = 0;
    // The time of the first event at or after `tick`; none: -1.
    virtual std::int32_t NextEventTime(std::int32_t tick) const = 0;
};

// The play position of a song window and the buttons that move it: play, stop, rewind
// and forward by quarter notes, to the beginning and to the end; where the play bar goes
// while and after playing.
class Transport {
public:
    explicit Transport(TransportHost& host) : host_(host) {}

    std::int32_t PlayPosition() const { return position_; }
    void SetPlayPosition(std::int32_t tick);
    bool AutoRewind() const { return autoRewind_; }
    void SetAutoRewind(bool on) { autoRewind_ = on; }

    // Each button acts only while the player is idle; while it plays, it stops it.
    void Rewind();
    void Forward();
    void RewindToBeginning();
    void ForwardToEnd();
    void Play();
    void Stop();
    // Plays `from` to `to` (clamped to the song); a range that does not start at the play
    // bar brings the bar back where it was once playing ends.
    void PlayRange(std::int32_t from, std::int32_t to);

    // A position notice from the player: `sent` is how many the player has sent so far,
    // so stale notices are passed over.
    void OnPosition(std::int32_t tick, int sent);
    // The player has stopped.
    void OnStopped();

    bool Restoring() const { return restoreAfterPlay_; }

private:
    void MoveTo(std::int32_t tick);
    bool StoppedInstead();

    TransportHost& host_;
    std::int32_t position_ = 0;
    std::int32_t rewindTo_ = 0;
    bool restoreAfterPlay_ = false;
    bool autoRewind_ = true;
    bool autoRewinding_ = false;
    int drawCount_ = 0;
};
