#pragma once

#include <cstdint>

#include "util/AString.h"

class Sequencer;

// Problems the real-time side can only flag; the player turns them into texts.
enum class PlayProblem : int { None = 0, CueWithoutAudio = 1 };

// What an output needs of the player it serves while it plays.
class PlayContext {
public:
    virtual ~PlayContext() = default;
    virtual Sequencer& Seq() = 0;
    virtual bool StopRequested() const = 0;
    // More blocks may still arrive (an offline render waits for them instead of
    // running dry).
    virtual bool MoreDataComing() const = 0;
    virtual std::int32_t DrawResolutionMs() const = 0;
    // Wakes the player's notifier; lock-free.
    virtual void Notify() = 0;
    virtual void Flag(PlayProblem problem) = 0;
};

// One way of making the stream heard (or written). Started for a play, stopped after it.
class PlayOutput {
public:
    virtual ~PlayOutput() = default;
    // False with `error` set when the output cannot start.
    virtual bool Start(PlayContext& context, AString& error) = 0;
    // A stop was asked for or data arrived.
    virtual void Wake() = 0;
    // Ends the play; afterwards the context is not touched.
    virtual void Stop() = 0;
};
