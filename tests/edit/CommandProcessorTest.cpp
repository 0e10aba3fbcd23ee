#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "edit/CommandProcessor.h"

namespace {

// Appends its number to a log on Execute and takes it off again on Undo.
class LogCommand : public CPCommand {
public:
    LogCommand(std::vector<int>& log, int n, bool undoable = true, int* destroyed = nullptr)
        : CPCommand(1), log_(log), n_(n), undoable_(undoable), destroyed_(destroyed) {}
    ~LogCommand() override {
        if (destroyed_)
            ++*destroyed_;
    }
    bool IsUndoable() const override { return undoable_; }
    const char* GetName() const override { return undoable_ ? "Put Item" : "UnNamed"; }
    void Execute() override { log_.push_back(n_); }
    void Undo() override { log_.push_back(-n_); }

private:
    std::vector<int>& log_;
    int n_;
    bool undoable_;
    int* destroyed_;
};

} // namespace

TEST(CommandProcessor, UndoRedoRunInReverseAndKeepTheChangeLevel) {
    std::vector<int> log;
    CommandProcessor cp;
    int callbacks = 0;
    cp.SetChangeCallback([&] { ++callbacks; });
    cp.Submit(std::make_unique<LogCommand>(log, 1));
    cp.Submit(std::make_unique<LogCommand>(log, 2));
    cp.Undo();
    cp.Undo();
    cp.Redo();
    EXPECT_EQ(log, (std::vector<int>{1, 2, -2, -1, 1}));
    EXPECT_EQ(cp.ChangeLevel(), 1);
    EXPECT_EQ(callbacks, 5);
    EXPECT_TRUE(cp.CanUndo());
    EXPECT_TRUE(cp.CanRedo());

    // A new command empties the redo list.
    cp.Submit(std::make_unique<LogCommand>(log, 3));
    EXPECT_FALSE(cp.CanRedo());
    EXPECT_EQ(cp.UndoCount(), 2u);
}

TEST(CommandProcessor, TheFiftyFirstCommandDropsTheOldest) {
    std::vector<int> log;
    int destroyed = 0;
    CommandProcessor cp;
    for (int n = 1; n <= 51; ++n)
        cp.Submit(std::make_unique<LogCommand>(log, n, true, &destroyed));
    EXPECT_EQ(cp.UndoCount(), 50u);
    EXPECT_EQ(destroyed, 1);
    log.clear();
    while (cp.CanUndo())
        cp.Undo();
    ASSERT_EQ(log.size(), 50u);
    EXPECT_EQ(log.front(), -51);
    EXPECT_EQ(log.back(), -2);
    EXPECT_EQ(cp.ChangeLevel(), 1);
}

TEST(CommandProcessor, ANonUndoableCommandEmptiesBothLists) {
    std::vector<int> log;
    int destroyed = 0;
    CommandProcessor cp;
    cp.Submit(std::make_unique<LogCommand>(log, 1, true, &destroyed));
    cp.Submit(std::make_unique<LogCommand>(log, 2, true, &destroyed));
    cp.Undo();
    cp.Submit(std::make_unique<LogCommand>(log, 3, false, &destroyed));
    EXPECT_EQ(log, (std::vector<int>{1, 2, -2, 3}));
    EXPECT_FALSE(cp.CanUndo());
    EXPECT_FALSE(cp.CanRedo());
    EXPECT_EQ(destroyed, 3);
    // Empty lists are safe to press and change nothing.
    const std::int32_t level = cp.ChangeLevel();
    cp.Undo();
    cp.Redo();
    EXPECT_EQ(cp.ChangeLevel(), level);
}

TEST(CommandProcessor, MenuItemsNameTheNextStep) {
    std::vector<int> log;
    CommandProcessor cp;
    EXPECT_EQ(UndoItemText(cp).str(), "Undo");
    EXPECT_EQ(cp.UndoName(), nullptr);
    cp.Submit(std::make_unique<LogCommand>(log, 1));
    EXPECT_EQ(UndoItemText(cp).str(), "Undo Put Item");
    EXPECT_EQ(RedoItemText(cp).str(), "Redo");
    cp.Undo();
    EXPECT_EQ(UndoItemText(cp).str(), "Undo");
    EXPECT_EQ(RedoItemText(cp).str(), "Redo Put Item");
}

TEST(CommandProcessor, TheLevelNamesTheSongStateSoAnUndoneSaveCountsAsChanged) {
    std::vector<int> log;
    CommandProcessor cp;
    cp.Submit(std::make_unique<LogCommand>(log, 1));
    const std::int32_t saved = cp.ChangeLevel();

    // Save, undo, a different edit: the song is not the saved one although as many
    // commands are on the list as at the save.
    cp.Undo();
    cp.Submit(std::make_unique<LogCommand>(log, 2));
    EXPECT_NE(cp.ChangeLevel(), saved);
    cp.Undo();
    EXPECT_NE(cp.ChangeLevel(), saved);

    // Undo and redo back to the saved state: unchanged again.
    CommandProcessor other;
    other.Submit(std::make_unique<LogCommand>(log, 3));
    other.Submit(std::make_unique<LogCommand>(log, 4));
    const std::int32_t atSave = other.ChangeLevel();
    other.Undo();
    EXPECT_NE(other.ChangeLevel(), atSave);
    other.Redo();
    EXPECT_EQ(other.ChangeLevel(), atSave);
    other.Undo();
    other.Undo();
    other.Redo();
    other.Redo();
    EXPECT_EQ(other.ChangeLevel(), atSave);
}
