#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "edit/CPCommand.h"
#include "util/AString.h"
#include "util/LinkedList.h"

// Runs the commands of one song window and keeps the undoable ones for Undo and Redo.
class CommandProcessor {
public:
    static constexpr std::int32_t kMaxUndo = 50;

    CommandProcessor() = default;
    virtual ~CommandProcessor();
    CommandProcessor(const CommandProcessor&) = delete;
    CommandProcessor& operator=(const CommandProcessor&) = delete;

    // Executes the command at once. An undoable one is kept (the oldest beyond the
    // limit is dropped); any other one is discarded and takes the undo history with it.
    // The redo list is emptied either way.
    void Submit(std::unique_ptr<CPCommand> command);
    // Both do nothing on an empty list.
    void Undo();
    void Redo();

    bool CanUndo() const { return !undo_.IsEmpty(); }
    bool CanRedo() const { return !redo_.IsEmpty(); }
    // Name of the command the next Undo or Redo would take, or null.
    const char* UndoName() const;
    const char* RedoName() const;
    // The command the next Undo or Redo would take, or null; the windows look at it to
    // tell their views what is about to change.
    const CPCommand* NextUndo() const { return undo_.IsEmpty() ? nullptr : undo_.Tail(); }
    const CPCommand* NextRedo() const { return redo_.IsEmpty() ? nullptr : redo_.Tail(); }
    std::size_t UndoCount() const { return undo_.Count(); }
    std::size_t RedoCount() const { return redo_.Count(); }

    // Names the state of the song: every executed command gives a new level that no
    // other state shares, and Undo and Redo return to the level recorded for the state
    // they bring back. So the song equals the one saved exactly when the level equals the
    // level at the save, whatever was undone in between.
    std::int32_t ChangeLevel() const { return changeLevel_; }
    void SetMaxUndo(std::int32_t limit) { maxUndo_ = limit; }

    // Called after every Submit, Undo and Redo.
    void SetChangeCallback(std::function<void()> callback) { onChange_ = std::move(callback); }

protected:
    virtual void DoCommand(CPCommand& command) { command.Execute(); }
    virtual void UndoCommand(CPCommand& command) { command.Undo(); }

private:
    void KeepForUndo(std::unique_ptr<CPCommand> command);
    void Changed();

    LinkedList<CPCommand> undo_;
    LinkedList<CPCommand> redo_;
    std::int32_t maxUndo_ = kMaxUndo;
    std::int32_t changeLevel_ = 0;
    std::int32_t lastLevel_ = 0; // the highest level given out
    std::function<void()> onChange_;
};

// The Edit menu's items: "Undo" or "Undo " and the name of the next command to undo;
// likewise for Redo.
AString UndoItemText(const CommandProcessor& processor);
AString RedoItemText(const CommandProcessor& processor);
