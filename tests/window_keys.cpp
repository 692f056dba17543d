// The game from the keyboard: the cursor that arrows, Home, End, Page Up
// and Page Down move, Enter and space acting on it, R turning the next
// ship, H held for the hint overlay, and the cursor passed between the
// pointer and the keys.

#include "battle_support.h"

using namespace wt;

namespace {

// The cell's upper-half point, off any cross, shows the colour.
bool cellShows(const xtest::Shot& s, const Board& b, int x, int y, const xtest::Rgb& colour) {
    const Point p = b.at(x, y, 0.5f, 0.2f);
    return xtest::near(s.at(p.x, p.y), colour);
}

}  // namespace

// A submarine and a destroyer on 6 x 6, set and shot with keys alone. The
// pointer never moves from where the server put it, the middle of the
// screen, over the gap between the boards: every cell the game acts on was
// reached by a key.
TEST(Keyboard, WholeGameWithNoPointerEventSetsTheFleetShipByShipAndShootsToTheBanner) {
    Battle b({"6", "6", "0", "0", "1", "1", "0"}, 6, 3 + 2);
    ASSERT_TRUE(b.start()) << b.game.out();
    Game& game = b.game;
    // With no cell under the pointer the first key starts the cursor on the
    // first cell: the submarine's preview reaches the third.
    game.keys({"Down"});
    ASSERT_TRUE(game.waitFor([&](const xtest::Shot& s) { return cellShows(s, b.own, 2, 0, previewOkRgb()); }))
        << "no preview from the first cell";
    // Enter sets it and keeps the cursor there: the destroyer, turned by R,
    // stands on the submarine and may not.
    game.keys({"Return", "r"});
    ASSERT_TRUE(game.waitFor([&](const xtest::Shot& s) {
        return cellShows(s, b.own, 2, 0, shipRgb()) && cellShows(s, b.own, 0, 1, previewBadRgb());
    })) << "the submarine not set, or the turned destroyer's preview not on the cursor";
    // At the row's end it may; space sets it, and the cursor goes on to the
    // same cell of the record board.
    game.keys({"End", "space"});
    ASSERT_TRUE(game.waitFor([&](const xtest::Shot& s) {
        return countCells(s, b.own, shipRgb()) == b.fleetCells && cellShows(s, b.own, 5, 1, shipRgb()) &&
               targetSquare(s, b.record, 5, 0);
    })) << "the destroyer not set down column F, or no target square where the cursor was";
    // Every cell in turn until someone has won; both Enter keys shoot.
    std::vector<std::string> sweep = {"Prior"};
    for (int y = 0; y < b.n; ++y) {
        sweep.push_back("Home");
        for (int x = 0; x < b.n; ++x) sweep.insert(sweep.end(), {x % 2 == 0 ? "Return" : "KP_Enter", "Right"});
        sweep.push_back("Down");
    }
    game.keys(sweep);
    ASSERT_TRUE(xtest::eventually([&] { return b.finished(); }, 60s)) << game.out();
    expectFinished(b);
}

// H held in battle shows the computer's scores on the own board until it is
// let go. Its auto-repeat, a release and a press together each time, must
// not take them away even for a frame: the checked game, which counts its
// frames, draws none while H stays down.
TEST(Keyboard, HHeldShowsTheOverlayWithoutAFrameMoreUntilItIsLetGo) {
    Battle b({}, 14, 0);
    ASSERT_TRUE(b.start()) << b.game.out();
    ASSERT_TRUE(b.placeAll());
    Game& game = b.game;
    game.move(b.record.centre(7, 7));
    ASSERT_TRUE(game.waitFor([&](const xtest::Shot& s) { return targetSquare(s, b.record, 7, 7); }));
    game.server().xdotool({"keydown", "h"});
    ASSERT_TRUE(game.waitFor([&](const xtest::Shot& s) { return hintCells(s, b) > b.n * b.n / 2; }))
        << "no hint numbers while H is held";
    settle();
    const int frames = game.framesShown();
    // The server repeats a held key after 660 ms, 25 times a second.
    for (int look = 0; look < 8; ++look) {
        EXPECT_GT(hintCells(game.shot(), b), b.n * b.n / 2) << "the overlay went while H was held, look " << look;
        std::this_thread::sleep_for(200ms);
    }
    EXPECT_EQ(game.framesShown(), frames) << "frames drawn while H was held";
    game.server().xdotool({"keyup", "h"});
    EXPECT_TRUE(game.waitFor([&](const xtest::Shot& s) { return hintCells(s, b) == 0; }))
        << "hint numbers stay after H is let go";
}

// The cell under the pointer is the cursor until a key moves it; then no
// key brings it back under the pointer, only the pointer's next move does.
// Arrows stop at the edges; Home and End go to the row's ends, Page Up and
// Page Down to the column's. Each step starts where the one before ended,
// so a key that went past an edge shows in the steps after it.
TEST(Keyboard, CursorPassesBetweenPointerAndKeysAndStopsAtTheEdges) {
    Battle b({}, 14, 0);
    ASSERT_TRUE(b.start()) << b.game.out();
    ASSERT_TRUE(b.placeAll());
    Game& game = b.game;
    auto targetAt = [&](int x, int y) {
        return game.waitFor([&](const xtest::Shot& s) { return targetSquare(s, b.record, x, y); });
    };
    game.move(b.record.centre(3, 3));
    ASSERT_TRUE(targetAt(3, 3));
    game.keys({"Right"});
    ASSERT_TRUE(targetAt(4, 3)) << "Right did not move the pointer's cell";
    // Any other key lays the window out again; the cursor stays the keys'.
    game.keys({"x"});
    settle();
    EXPECT_TRUE(targetSquare(game.shot(), b.record, 4, 3)) << "a key put the cursor back under the pointer";
    game.move(b.record.centre(7, 7));
    ASSERT_TRUE(targetAt(7, 7)) << "the pointer did not take the cursor back";

    const struct {
        const char* key;
        int x, y;
    } steps[] = {{"Home", 0, 7},  {"Left", 0, 7},  {"Prior", 0, 0}, {"Up", 0, 0},
                 {"End", 13, 0}, {"Right", 13, 0}, {"Next", 13, 13}, {"Down", 13, 13}};
    for (const auto& step : steps) {
        game.keys({step.key});
        EXPECT_TRUE(targetAt(step.x, step.y)) << step.key << " to " << step.x << "," << step.y;
    }
    settle();
    EXPECT_TRUE(targetSquare(game.shot(), b.record, 13, 13)) << "Down went past the last row";

    // Over a header the pointer has no cell: a key starts on the first one.
    game.move(b.record.centre(-1, 5));
    game.keys({"Left"});
    EXPECT_TRUE(targetAt(0, 0)) << "the cursor did not start on the first cell";
}
