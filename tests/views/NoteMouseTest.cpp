// The mouse in a note view, against a view whose mappings are plain arithmetic: ten
// pixels a sixteenth (96 ticks at 384 a quarter), and pitch 100 - y / 4 (one staff step
// every four pixels, rounded down as the staff does).
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>

#include "edit/CommandProcessor.h"
#include "edit/EditTestSupport.h"
#include "edit/NoteEditor.h"
#include "views/NoteMouse.h"

namespace {

class GridView : public NoteMouseView {
public:
    std::optional<std::int32_t> TimeAt(int x, bool snap) const override {
        if (x < 0 || x > 2000)
            return std::nullopt;
        const std::int32_t tick = x * 96 / 10;
        return snap ? (tick + step / 2) / step * step : tick;
    }
    std::optional<int> PitchAt(int y, std::int32_t) const override {
        const int pitch = 100 - y / 4;
        if (y < 0 || pitch < 0 || pitch > 127)
            return std::nullopt;
        return pitch;
    }
    std::optional<NoteHit> NoteAt(int x, int y) const override {
        for (const auto& [place, hit] : heads)
            if (std::abs(place.first - x) <= 3 && std::abs(place.second - y) <= 2)
                return hit;
        return std::nullopt;
    }
    std::int32_t ShownStart() const override { return start; }
    std::int32_t ShownEnd() const override { return start + 19200; }
    void ScrollBy(std::int32_t ticks) override { scrolled += ticks; }
    bool MovesPitchIntoKey() const override { return intoKey; }
    std::int32_t TicksPerQuarter() const override { return 384; }

    std::int32_t step = 96;
    std::map<std::pair<int, int>, NoteHit> heads;
    std::int32_t start = 0;
    std::int32_t scrolled = 0;
    bool intoKey = true;
};

class Host : public NoteEditorHost {};

struct Fixture {
    explicit Fixture(const std::string& text) : song(BuildSong(text, 384)), view(*song) {
        editor = std::make_unique<NoteEditor>(*song, &view.filter, commands, host);
    }
    std::unique_ptr<Song> song;
    TestView view;
    CommandProcessor commands;
    Host host;
    std::unique_ptr<NoteEditor> editor;
    GridView grid;
    NoteMouse Mouse() { return NoteMouse(*editor, grid); }
};

} // namespace

TEST(NoteMouse, AClickPutsANoteAtTheSnappedTimeAndThePitchUnderIt) {
    Fixture f("");
    NoteMouse mouse = f.Mouse();
    mouse.Press(104, 160); // tick 998 snaps to 960; y 160 is pitch 60
    mouse.Release(104, 160);
    EXPECT_EQ(Brief(*f.song), "960:n60/384");
    EXPECT_EQ(f.commands.UndoName(), std::string("Put Item"));
    // In D major a click on F is taken up to F sharp; in B flat, B down to B flat.
    f.song->SetKeySignature(0, 2, 0);
    mouse.Press(0, 4 * (100 - 65));
    mouse.Release(0, 4 * (100 - 65));
    EXPECT_EQ(Notes(*f.song), "0:66 960:60");
    f.song->SetKeySignature(0, -2, 0);
    mouse.Press(20, 4 * (100 - 71));
    mouse.Release(20, 4 * (100 - 71));
    EXPECT_EQ(Notes(*f.song), "0:66 192:70 960:60");
    // Outside the staff or the measures nothing is put.
    mouse.Press(30, -5);
    mouse.Release(30, -5);
    mouse.Press(5000, 100);
    mouse.Release(5000, 100);
    EXPECT_EQ(f.commands.UndoCount(), 3u);
}

TEST(NoteMouse, DraggingAHeadChangesItsPitchAndMovesIt) {
    Fixture f("0 n60 384, 384 n64 384");
    f.grid.heads[{40, 160}] = NoteHit{384, 0}; // the E drawn at x 40
    NoteMouse mouse = f.Mouse();
    // Up a third: the pitch under the pointer, one undoable command.
    mouse.Press(40, 160);
    EXPECT_EQ(f.editor->CurrentTime(), 384);
    mouse.Move(40, 150);
    EXPECT_TRUE(mouse.Current().drag);
    mouse.Release(40, 148);
    EXPECT_EQ(Notes(*f.song), "0:60 384:63");
    EXPECT_EQ(f.commands.UndoName(), std::string("Pitch Change"));
    // Sideways: to the snapped time under the pointer.
    f.grid.heads.clear();
    f.grid.heads[{40, 148}] = NoteHit{384, 0};
    mouse.Press(40, 148);
    mouse.Release(80, 148);
    EXPECT_EQ(Notes(*f.song), "0:60 768:63");
    // A drag past the top of the pitch range changes nothing.
    f.grid.heads.clear();
    f.grid.heads[{80, 148}] = NoteHit{768, 0};
    const std::size_t steps = f.commands.UndoCount();
    mouse.Press(80, 148);
    mouse.Release(80, -40);
    EXPECT_EQ(Notes(*f.song), "0:60 768:63");
    EXPECT_EQ(f.commands.UndoCount(), steps);
}

TEST(NoteMouse, DraggingAcrossEmptySpaceSelectsAndShiftExtends) {
    Fixture f("0 n60 384, 384 n62 384, 768 n64 384, 1536 n65 384");
    NoteMouse mouse = f.Mouse();
    mouse.Press(50, 100);
    mouse.Move(60, 100);
    EXPECT_TRUE(mouse.Current().band);
    mouse.Release(90, 100);
    ASSERT_TRUE(f.editor->GetSelection());
    EXPECT_EQ(*f.editor->GetSelection(), (NoteEditor::Selection{480, 864}));
    EXPECT_EQ(f.song->PointCount(), 4u); // nothing was put
    // Backwards too: the start never after the end.
    mouse.Press(90, 100);
    mouse.Release(10, 100);
    EXPECT_EQ(*f.editor->GetSelection(), (NoteEditor::Selection{96, 864}));
    // Shift-click grows it to the clicked time.
    mouse.Press(200, 100, NoteMouse::Modifiers{true, false});
    EXPECT_EQ(*f.editor->GetSelection(), (NoteEditor::Selection{96, 1920}));
    EXPECT_FALSE(mouse.Held());
}

TEST(NoteMouse, HoldingNearAnEdgeScrollsByAQuarter) {
    Fixture f("");
    f.grid.start = 3840;
    NoteMouse mouse = f.Mouse();
    mouse.Press(1000, 100);
    mouse.Move(1000 - 2, 100); // not yet a drag
    EXPECT_EQ(f.grid.scrolled, 0);
    mouse.Move(405, 100); // tick 3888, within a quarter of the start
    EXPECT_EQ(f.grid.scrolled, -384);
    mouse.Release(405, 100);
}

TEST(NoteMouse, TheRightButtonOpensTheNoteOrTheTimeMenuWithItsItemsEnabledByWhatIsNear) {
    Fixture f("0 n60 384, 200 text5=la, 2000 text7=Audio:drum.wav");
    f.grid.heads[{0, 160}] = NoteHit{0, 0};
    NoteMouse mouse = f.Mouse();
    NoteMouse::Popup popup = mouse.RightPress(0, 160);
    EXPECT_EQ(popup.kind, NoteMouse::Popup::Kind::Note);
    popup = mouse.RightPress(20, 100); // tick 192: the lyric at 200 is near
    EXPECT_EQ(popup.kind, NoteMouse::Popup::Kind::Time);
    EXPECT_EQ(popup.time, 192);
    EXPECT_TRUE(popup.lyricNear);
    EXPECT_FALSE(popup.audioNear);
    popup = mouse.RightPress(200, 100); // tick 1920: the cue at 2000 is near
    EXPECT_FALSE(popup.lyricNear);
    EXPECT_TRUE(popup.audioNear);
    popup = mouse.RightPress(5000, 100); // outside the measures: the menu, without a time
    EXPECT_EQ(popup.kind, NoteMouse::Popup::Kind::Time);
    EXPECT_FALSE(popup.time);
}
