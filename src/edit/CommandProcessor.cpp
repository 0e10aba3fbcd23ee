#include "edit/CommandProcessor.h"

#include <algorithm>

namespace {

std::unique_ptr<CPCommand> TakeTail(LinkedList<CPCommand>& list) {
    auto node = list.LastNode();
    std::unique_ptr<CPCommand> command = std::move(*node);
    list.Remove(node);
    return command;
}

AString ItemText(const char* verb, const char* name) {
    // The menu builds the text in a buffer of 256 characters.
    constexpr std::size_t kBuffer = 255;
    AString text(verb);
    if (name) {
        text += " ";
        text += name;
    }
    if (text.Length() > kBuffer)
        text.DeleteToEnd(kBuffer);
    return text;
}

} // namespace

CommandProcessor::~CommandProcessor() {
    redo_.Clear();
    undo_.Clear();
}

void CommandProcessor::Submit(std::unique_ptr<CPCommand> command) {
    if (!command)
        return;
    DoCommand(*command);
    command->levelBefore_ = changeLevel_;
    command->levelAfter_ = changeLevel_ = ++lastLevel_;
    if (command->IsUndoable()) {
        KeepForUndo(std::move(command));
    } else {
        command.reset();
        undo_.Clear();
    }
    redo_.Clear();
    Changed();
}

void CommandProcessor::Undo() {
    if (!CanUndo())
        return;
    std::unique_ptr<CPCommand> command = TakeTail(undo_);
    UndoCommand(*command);
    changeLevel_ = command->levelBefore_;
    redo_.AddTail(std::move(command));
    Changed();
}

void CommandProcessor::Redo() {
    if (!CanRedo())
        return;
    std::unique_ptr<CPCommand> command = TakeTail(redo_);
    DoCommand(*command);
    changeLevel_ = command->levelAfter_;
    KeepForUndo(std::move(command));
    Changed();
}

const char* CommandProcessor::UndoName() const {
    return undo_.IsEmpty() ? nullptr : undo_.Tail()->GetName();
}

const char* CommandProcessor::RedoName() const {
    return redo_.IsEmpty() ? nullptr : redo_.Tail()->GetName();
}

void CommandProcessor::KeepForUndo(std::unique_ptr<CPCommand> command) {
    undo_.AddTail(std::move(command));
    while (undo_.Count() > static_cast<std::size_t>(std::max(maxUndo_, 0)))
        undo_.Remove(undo_.Begin());
}

void CommandProcessor::Changed() {
    if (onChange_)
        onChange_();
}

AString UndoItemText(const CommandProcessor& processor) {
    return ItemText("Undo", processor.UndoName());
}

AString RedoItemText(const CommandProcessor& processor) {
    return ItemText("Redo", processor.RedoName());
}
