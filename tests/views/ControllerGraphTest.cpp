#include <gtest/gtest.h>

#include <cmath>

#include "RecordingSurface.h"
#include "edit/CommandProcessor.h"
#include "midifile/MidiWriter.h"
#include "model/SongDump.h"
#include "model/SongIter.h"
#include "support/SongBuilder.h"
#include "views/ControllerSelChoice.h"
#include "views/ControllerView.h"

namespace {

using Values = std::vector<std::pair<std::int32_t, std::int32_t>>;

// A note view that shows ticks 0 to 3839 at a tenth of a pixel a tick from x = 50 on.
class FakeHost : public ControllerViewHost {
public:
    std::optional<std::int32_t> TimeToX(std::int32_t tick) const override { return 50 + tick / 10; }
    std::optional<std::int32_t> XToTime(std::int32_t x) const override {
        return std::max(x - 50, 0) * 10;
    }
    std::int32_t ShownStart() const override { return 0; }
    std::int32_t ShownEnd() const override { return 3839; }
    std::uint16_t PlacementTrack() const override { return 0; }
    std::uint8_t PlacementChannel() const override { return 0; }
    void Submit(std::unique_ptr<CPCommand> command) override {
        commands.Submit(std::move(command));
    }
    bool AskRange(ControllerRangeChoice& choice) override {
        asked = true;
        choice = range;
        return answer;
    }
    bool AskController(std::uint8_t& controller) override {
        controller = chosen;
        return true;
    }

    CommandProcessor commands;
    ControllerRangeChoice range;
    bool answer = true;
    bool asked = false;
    std::uint8_t chosen = 7;
};

struct Graph {
    std::unique_ptr<Song> song;
    ViewFilter filter;
    FakeHost host;
    ControllerView view;

    explicit Graph(const std::string& events, std::uint8_t controller = 70)
        : song(BuildSong(events)), view(*song, filter, host) {
        view.SetController(controller);
        view.SetRect(ControllerView::Rect{0, 0, 500, ControllerView::kStripHeight});
    }
    std::string Bytes() {
        std::string bytes, error;
        EXPECT_TRUE(MidiWriter::SongBytes(*song, bytes, &error)) << error;
        return bytes;
    }
};

ControllerRangeChoice Shape(int shape, int start, int end, int adjust1 = 32, int adjust2 = 3) {
    ControllerRangeChoice c;
    c.shape = shape;
    c.startLevel = start;
    c.endLevel = end;
    c.adjustment1 = adjust1;
    c.adjustment2 = adjust2;
    return c;
}

ControllerView::Limits Range(std::int32_t low, std::int32_t high, bool onOff = false) {
    ControllerView::Limits l;
    l.low = low;
    l.high = high;
    l.onOff = onOff;
    return l;
}

// The values a shape gives over one quarter note, by its own formula, repeats left out.
Values Expected(double (*fraction)(double), double a, double b, std::int32_t low,
                std::int32_t high) {
    Values v;
    for (std::int32_t t = 0; t <= 384; t += 24) {
        const double x = t / 384.0;
        const auto value = std::clamp(
            static_cast<std::int32_t>(std::trunc(a + (b - a) * fraction(x) + 0.5)), low, high);
        if (v.empty() || v.back().second != value)
            v.emplace_back(t, value);
    }
    return v;
}

} // namespace

TEST(ControllerGraph, EachShapeStepsASixteenthOfAQuarterAndSkipsRepeats) {
    const ControllerView::Limits full = Range(0, 127);
    const Values line =
        ControllerView::ShapeValues(Shape(ControllerGraphType::kLine, 0, 127), full, 0, 384, 384);
    ASSERT_EQ(line.size(), 17u);
    EXPECT_EQ(line.front(), std::make_pair(0, 0));
    EXPECT_EQ(line[1], std::make_pair(24, 8)); // 127 / 16 = 7.9, rounded
    EXPECT_EQ(line.back(), std::make_pair(384, 127));
    // A flat line is one event.
    EXPECT_EQ(
        ControllerView::ShapeValues(Shape(ControllerGraphType::kLine, 50, 50), full, 0, 384, 384),
        (Values{{0, 50}}));

    // Adjustment 1 of 65 makes the squared shape x squared; 32, a straight line.
    EXPECT_EQ(ControllerView::ShapeValues(Shape(ControllerGraphType::kSquared, 0, 127, 65), full, 0,
                                          384, 384),
              Expected([](double x) { return x * x; }, 0, 127, 0, 127));
    EXPECT_EQ(ControllerView::ShapeValues(Shape(ControllerGraphType::kSquared, 0, 127, 32), full, 0,
                                          384, 384),
              line);
    // Adjustment 2 of 3 runs the sine half a wave: from the end level to the start level.
    EXPECT_EQ(ControllerView::ShapeValues(Shape(ControllerGraphType::kSinWave, 0, 127, 0, 3), full,
                                          0, 384, 384),
              Expected([](double x) { return 0.5 * (std::cos(x * M_PI) + 1); }, 0, 127, 0, 127));
    // A parabola goes from the end level down to the start level and back.
    const Values parabola = ControllerView::ShapeValues(
        Shape(ControllerGraphType::kParabola, 10, 110), full, 0, 384, 384);
    EXPECT_EQ(parabola,
              Expected([](double x) { return (2 * x - 1) * (2 * x - 1); }, 10, 110, 0, 127));
    EXPECT_EQ(parabola.front().second, 110);
    EXPECT_EQ(parabola[8], std::make_pair(192, 10));
    EXPECT_EQ(parabola.back().second, 110);

    // A range of no length still gets its one value.
    EXPECT_EQ(
        ControllerView::ShapeValues(Shape(ControllerGraphType::kLine, 0, 127), full, 96, 96, 384),
        (Values{{96, 0}}));
}

TEST(ControllerGraph, ShapesAreScaledToTheControllerAndClippedToItsRange) {
    // Pitch bend: the 0..127 levels stand for 0..16383.
    const Values bend = ControllerView::ShapeValues(Shape(ControllerGraphType::kLine, 0, 127),
                                                    Range(0, 16383), 0, 384, 384);
    EXPECT_EQ(bend.back().second, 16383);
    EXPECT_EQ(bend[8].second, 8192); // half way, rounded
    // A definition from 20 to 100: the scaled line runs 0..100 and is held at 20 below.
    const Values held = ControllerView::ShapeValues(Shape(ControllerGraphType::kLine, 0, 127),
                                                    Range(20, 100), 0, 384, 384);
    EXPECT_EQ(held, Expected([](double x) { return x; }, 0, 100, 20, 100));
    EXPECT_EQ(held.front(), std::make_pair(0, 20));
    for (const auto& [tick, value] : held)
        EXPECT_TRUE(value >= 20 && value <= 100) << tick << " " << value;
    // A switch is only ever off or on.
    const Values sw = ControllerView::ShapeValues(Shape(ControllerGraphType::kLine, 0, 127),
                                                  Range(0, 127, true), 0, 384, 384);
    EXPECT_EQ(sw, (Values{{0, 0}, {192, 127}}));
    // Erasing puts nothing.
    ControllerRangeChoice erase = Shape(ControllerGraphType::kLine, 0, 127);
    erase.eraseOnly = true;
    EXPECT_TRUE(ControllerView::ShapeValues(erase, Range(0, 127), 0, 384, 384).empty());
}

TEST(ControllerGraph, ARangeReplacesOnlyItsControllerAndUndoGivesBackTheSameBytes) {
    Graph g("0 n60 768, 0 cc70=5, 96 cc70=9, 96 cc71=3, 200 c1 cc70=44, 500 cc70=60, "
            "384 text5=la");
    const std::string before = g.Bytes();
    const std::string records = DumpRecords(*g.song);
    g.view.ApplyRange(96, 384, Shape(ControllerGraphType::kLine, 0, 127));
    const std::string after = g.Bytes();
    // 96 and the channel 2 event at 200 went, as did the one at 96; 0, 500 and the other
    // controller stayed.
    std::int32_t count70 = 0;
    SongIter it(*g.song);
    for (bool ok = it.Seek(0); ok; ok = it.Next())
        if (it.Msg()->kind == kMsgControlChange) {
            const auto& cc = static_cast<const MidiMsgControlChange&>(*it.Msg());
            if (cc.controller == 70 && it.Tick() >= 96 && it.Tick() <= 384)
                ++count70;
            if (cc.controller == 71) {
                EXPECT_EQ(it.Tick(), 96);
            }
            if (cc.controller == 70 && (it.Tick() == 0 || it.Tick() == 500)) {
                EXPECT_EQ(cc.value, it.Tick() ? 60 : 5);
            }
        }
    EXPECT_EQ(count70, 13); // 96 to 384 by 24, every value new
    g.host.commands.Undo();
    EXPECT_EQ(g.Bytes(), before);
    EXPECT_EQ(DumpRecords(*g.song), records);
    g.host.commands.Redo();
    EXPECT_EQ(g.Bytes(), after);
    g.host.commands.Undo();
    EXPECT_EQ(g.Bytes(), before);
}

TEST(ControllerGraph, ClicksSetOneValueAndDragsAskForAShape) {
    Graph g("0 cc70=5, 1000 cc70=9, 1000 cc70=11");
    const ControllerView::Limits limits = g.view.CurrentLimits();
    // A click at x 150 is tick 1000: the two events there become one.
    const std::int32_t y = g.view.ValueToY(100, limits);
    g.view.Press(150, y);
    g.view.Release(150, y);
    EXPECT_EQ(g.view.LevelBefore(1001, limits), g.view.YToValue(y, limits));
    EXPECT_EQ(g.view.LevelBefore(1000, limits), 5);
    EXPECT_EQ(g.host.commands.UndoCount(), 1u);
    // A drag from x 60 to 90 asks and fills ticks 100 to 400; Cancel changes nothing.
    g.host.answer = false;
    g.view.Press(90, 20);
    g.view.Move(60, 20);
    EXPECT_TRUE(g.view.DragSpan());
    g.view.Release(60, 20);
    EXPECT_TRUE(g.host.asked);
    EXPECT_EQ(g.host.commands.UndoCount(), 1u);
    g.host.answer = true;
    g.host.range = Shape(ControllerGraphType::kLine, 127, 127);
    g.view.Press(90, 20);
    g.view.Release(60, 20);
    EXPECT_EQ(g.view.LevelBefore(101, limits), 127);
    EXPECT_EQ(g.view.LevelBefore(100, limits), 5);
    EXPECT_EQ(g.host.commands.UndoCount(), 2u);
    // A click on the label asks for another controller.
    g.view.Press(10, 20);
    g.view.Release(10, 20);
    EXPECT_EQ(g.view.Controller(), 7);
}

TEST(ControllerGraph, HeightsMapToValuesBothWaysForEveryRange) {
    Graph g("");
    const ControllerView::Limits bend = ControllerView::LimitsOf(*g.song, kPitchBend);
    EXPECT_EQ(bend.high, 16383);
    EXPECT_EQ(bend.resting, 8192);
    EXPECT_EQ(bend.name.str(), "Pitch Bend");
    const std::int32_t bottom = ControllerView::kStripHeight - ControllerView::kBottomGap;
    EXPECT_EQ(g.view.ValueToY(16383, bend), bottom - ControllerView::kAxisHeight);
    EXPECT_EQ(g.view.ValueToY(0, bend), bottom);
    EXPECT_EQ(g.view.YToValue(bottom - ControllerView::kAxisHeight, bend), 127 * 129);
    // A switch: the middle height and above is on, just below it off.
    const ControllerView::Limits sw = Range(0, 127, true);
    const std::int32_t middle = bottom - ControllerView::kAxisHeight / 2;
    EXPECT_EQ(g.view.YToValue(middle, sw), 127);
    EXPECT_EQ(g.view.YToValue(middle + 1, sw), 0);
    // A definition whose top lies under 127 is drawn and read without dividing by zero.
    const ControllerView::Limits small = Range(0, 100);
    EXPECT_EQ(g.view.ValueToY(100, small), bottom - 101 * ControllerView::kAxisHeight / 127);
    EXPECT_EQ(g.view.YToValue(0, small), 100);
    // Undefined controllers: coarse ones carry fourteen bits, others seven.
    EXPECT_EQ(ControllerView::LimitsOf(*g.song, 7).high, 16383);
    EXPECT_EQ(ControllerView::LimitsOf(*g.song, 70).high, 127);
    EXPECT_EQ(ControllerView::LimitsOf(*g.song, 70).name.str(), "UnNamed");
}

TEST(ControllerGraph, PaintsStepsFromTheLevelBeforeTheViewToTheRightEdge) {
    // Pitch bend without events: one flat line at the resting value.
    Graph flat("0 n60 96", kPitchBend);
    RecordingSurface surface;
    flat.view.Paint(surface);
    const auto lines = surface.OfKind(RecordingSurface::Op::Line);
    ASSERT_EQ(lines.size(), 1u);
    const std::int32_t rest = flat.view.ValueToY(8192, flat.view.CurrentLimits());
    EXPECT_EQ(lines[0].y0, rest);
    EXPECT_EQ(lines[0].y1, rest);
    EXPECT_EQ(lines[0].x1, 500 - ControllerView::kRightGap);
    const auto texts = surface.OfKind(RecordingSurface::Op::Text);
    ASSERT_EQ(texts.size(), 3u); // "Pitch", "Bend", "(255)"
    EXPECT_EQ(texts[2].text, "(255)");

    // One step up at tick 1000 (x 150), another two pixels later drawn at the same x.
    Graph steps("1000 cc70=127, 1020 cc70=0");
    RecordingSurface s2;
    steps.view.Paint(s2);
    const auto l2 = s2.OfKind(RecordingSurface::Op::Line);
    const auto limits = steps.view.CurrentLimits();
    ASSERT_EQ(l2.size(), 4u);
    EXPECT_EQ(l2[0].x1, 150); // along at the resting level
    EXPECT_EQ(l2[1].y1, steps.view.ValueToY(127, limits));
    EXPECT_EQ(l2[2].x1, 150);
    EXPECT_EQ(l2[2].y1, steps.view.ValueToY(0, limits));
    EXPECT_EQ(l2[3].x1, 500 - ControllerView::kRightGap);
}

TEST(ControllerGraph, SelectionListsPitchBendThenEveryNumberAndRefusesBankSelect) {
    const ControllerSelChoice choice(nullptr);
    ASSERT_EQ(choice.Entries().size(), 129u);
    EXPECT_EQ(choice.Entries()[0].str(), "Pitch Bend");
    EXPECT_EQ(choice.Entries()[8].str(), "7");
    EXPECT_EQ(ControllerSelChoice::IndexOf(kPitchBend), 0);
    EXPECT_EQ(ControllerSelChoice::ControllerAt(ControllerSelChoice::IndexOf(64)), 64);
    for (std::uint8_t reserved : {0, 32}) {
        const Refusal refusal = ControllerSelChoice::Check(ControllerSelChoice::IndexOf(reserved));
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal.AsMessage().text.str(),
                  "Controllers 0 and 32 are reserved\nfor the bank select command.");
        EXPECT_EQ(refusal.AsMessage().title.str(), "Vorlaune");
    }
    EXPECT_FALSE(ControllerSelChoice::Check(ControllerSelChoice::IndexOf(1)));
    EXPECT_FALSE(ControllerSelChoice::Check(0));
}
