// The frame tracking's decisions, without a window: the cases the window
// tests reach only by luck of timing or layout.

#include <gtest/gtest.h>

#include <vector>

#include "field.h"
#include "frame_changes.h"
#include "ship.h"

namespace {

// Two 10 x 10 boards with 20-pixel cells; the record board's last column
// ends at the window's right edge.
FrameLayout layout() {
    FrameLayout at;
    at.ownLeft = 0;
    at.recordLeft = 380;
    at.top = 50;
    at.columnW = 20;
    at.rowH = 20;
    at.width = 600;
    at.height = 300;
    return at;
}

struct Boards {
    Field own{Coord(10, 10)};
    Field record{Coord(10, 10)};

    // The window in battle, the cells read when asked.
    Shown look(bool cells) {
        Shown s;
        s.valid = true;
        s.ready = true;
        s.own = &own;
        s.record = &record;
        s.w = s.h = 10;
        if (cells) {
            readCells(own, s.ownCells);
            readCells(record, s.recordCells);
        }
        return s;
    }
};

bool anyContains(const std::vector<Box>& boxes, const Box& inner) {
    for (const Box& b : boxes)
        if (b.contains(inner)) return true;
    return false;
}

}  // namespace

// A cell at the window's edge: its box, grown for what spills over, is cut
// to the window. A ship set, or sunk by a shot at its last cell, is redrawn
// over its whole length.
TEST(FrameTracker, BoxesAtTheEdgeStayInTheWindowAndAShipIsRedrawnWhole) {
    Boards b;
    FrameTracker frames;
    std::vector<Box> boxes;
    ASSERT_FALSE(frames.next(b.look(true), true, layout(), boxes)) << "the first frame is whole";

    Coord corner(9, 0);
    b.record.set(corner, 1);
    Destroyer ship;
    ASSERT_TRUE(b.own.setShip(&ship, Coord(0, 4), false));
    frames.cellsMayHaveChanged();
    boxes.clear();
    ASSERT_TRUE(frames.next(b.look(true), true, layout(), boxes));
    ASSERT_EQ(boxes.size(), 2u);
    const Box window{0, 0, 600, 300};
    for (const Box& box : boxes) EXPECT_TRUE(window.contains(box)) << box.left << "," << box.right;
    EXPECT_TRUE(anyContains(boxes, Box{380 + 200, 70, 600, 90})) << "the corner cell";
    EXPECT_TRUE(anyContains(boxes, Box{20, 150, 60, 170})) << "the ship's two cells";

    // Unread cells are as they were: shots seen only at the next click are
    // compared with the cells read two frames before.
    Coord first(0, 4), second(1, 4);
    Ship* sunk = nullptr;
    b.own.hit(first, sunk);
    b.own.hit(second, sunk);
    ASSERT_EQ(sunk, &ship);
    ASSERT_FALSE(frames.cellsDue(true));
    boxes.clear();
    ASSERT_TRUE(frames.next(b.look(false), true, layout(), boxes));
    EXPECT_TRUE(boxes.empty());
    frames.cellsMayHaveChanged();
    ASSERT_TRUE(frames.cellsDue(true));
    boxes.clear();
    ASSERT_TRUE(frames.next(b.look(true), true, layout(), boxes));
    EXPECT_TRUE(anyContains(boxes, Box{20, 150, 60, 170})) << "the ship from its first cell";
}

// Changes scattered over more than eight places become one box around
// them all; when that box would cover 60% of the window, the frame is whole.
TEST(FrameTracker, ScatteredChangesMergeIntoOneBoxOrAWholeFrame) {
    Boards b;
    FrameTracker frames;
    std::vector<Box> boxes;
    frames.next(b.look(true), true, layout(), boxes);
    for (int k = 0; k < 9; k += 2) {
        Coord own(k, 0), record(k, 1);
        b.own.set(own, 1);
        b.record.set(record, 1);
    }
    frames.cellsMayHaveChanged();
    boxes.clear();
    ASSERT_TRUE(frames.next(b.look(true), true, layout(), boxes));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].contains(Box{20, 70, 380 + 200, 110}));

    for (int k = 1; k < 10; k += 2) {
        Coord own(k, k % 4 == 1 ? 0 : 9), record(k, k % 4 == 1 ? 9 : 0);
        b.own.set(own, 1);
        if (k < 9) b.record.set(record, 1);
    }
    frames.cellsMayHaveChanged();
    boxes.clear();
    EXPECT_FALSE(frames.next(b.look(true), true, layout(), boxes)) << "boxes over most of the window";
    frames.cellsMayHaveChanged();
    boxes.clear();
    EXPECT_TRUE(frames.next(b.look(true), true, layout(), boxes));
    EXPECT_TRUE(boxes.empty()) << "nothing changed since";
    frames.wholeDue();
    EXPECT_FALSE(frames.next(b.look(true), true, layout(), boxes));
    EXPECT_FALSE(frames.next(b.look(true), false, layout(), boxes)) << "the window lost what it showed";
}

// The overlay lies over the own board as one layer: a shot there redraws
// it whole; the pointer's mark moving on the record board does not.
TEST(FrameTracker, AChangeUnderTheOverlayRedrawsTheOverlay) {
    Boards b;
    FrameTracker frames;
    const Box overlay{16, 66, 220, 270};
    auto look = [&](bool cells, float markX) {
        Shown s = b.look(cells);
        s.overlay = true;
        s.overlayBox = overlay;
        s.mark = true;
        s.markKind = 1;
        s.markBox = layout().cells(layout().recordLeft, static_cast<int>(markX), 5, 1, 1);
        return s;
    };
    std::vector<Box> boxes;
    frames.next(look(true, 0), true, layout(), boxes);
    boxes.clear();
    ASSERT_TRUE(frames.next(look(false, 1), true, layout(), boxes));
    EXPECT_FALSE(anyContains(boxes, overlay));
    EXPECT_FALSE(boxes.empty());

    Coord under(3, 3);
    b.own.set(under, 2);
    frames.cellsMayHaveChanged();
    boxes.clear();
    ASSERT_TRUE(frames.next(look(true, 1), true, layout(), boxes));
    EXPECT_TRUE(anyContains(boxes, overlay));
}

// The overlay pressed with nothing else changed: the picture without it is
// drawn once and kept, the release puts it back, and the next press lays
// the overlay over it again without drawing; any other drawing over the
// kept picture, or a whole frame, makes it stale.
TEST(FrameTracker, TheKeptPictureUnderTheOverlayIsUsedOnlyWhileItHolds) {
    using Work = FrameTracker::BoxWork;
    Boards b;
    FrameTracker frames;
    const Box overlay{16, 66, 220, 270};
    std::vector<Box> boxes;
    auto frame = [&](bool held) {
        Shown s = b.look(false);
        s.overlay = held;
        s.overlayBox = overlay;
        boxes.clear();
        frames.next(s, true, layout(), boxes);
    };
    frame(false);
    frames.drewWhole();
    frame(true);
    ASSERT_EQ(frames.plan(overlay, overlay, true), Work::drawPlainThenLayOverlay);
    EXPECT_EQ(frames.plan(overlay, overlay, false), Work::scene) << "something drawn later reaches the overlay";
    frames.drawn(Work::drawPlainThenLayOverlay, overlay, overlay);
    frame(false);
    ASSERT_EQ(frames.plan(overlay, overlay, true), Work::putBackPlain);
    frames.drawn(Work::putBackPlain, overlay, overlay);
    frame(true);
    ASSERT_EQ(frames.plan(overlay, overlay, true), Work::layOverlay);
    frames.drawn(Work::layOverlay, overlay, overlay);
    frames.drawn(Work::scene, Box{200, 100, 240, 120}, overlay);
    frame(false);
    EXPECT_EQ(frames.plan(overlay, overlay, true), Work::scene) << "the kept copy was drawn over";

    frames.drawn(Work::scene, Box{0, 0, 600, 300}, overlay);
    frame(true);
    EXPECT_EQ(frames.plan(overlay, overlay, true), Work::layOverlay) << "a box holding the plain overlay's place";
    frames.drewWhole();
    EXPECT_EQ(frames.plan(overlay, overlay, true), Work::drawPlainThenLayOverlay);
}
