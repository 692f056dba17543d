// The window redraws only what changed over the picture it keeps. Each kind
// of change must leave that picture exactly as a whole frame draws it; the
// whole frame comes from unmapping and mapping the window, after which it
// has nothing to keep.

#include "window_support.h"

using namespace wt;

namespace {

// The picture the window shows, then the one it draws from scratch: alike,
// pixel for pixel, inside the window.
::testing::AssertionResult keptAsDrawnWhole(const Game& game, const std::string& what) {
    settle();
    const xtest::Shot kept = game.shot();
    std::string id;
    game.server().xdotool({"search", "--name", "^Battleship game$"}, &id);
    id = id.substr(0, id.find('\n'));
    game.server().xdotool({"windowunmap", "--sync", id});
    game.server().xdotool({"windowmap", "--sync", id});
    settle();
    const xtest::Shot whole = game.shot();
    const Geometry g = game.geometry();
    if (!kept.ok() || !whole.ok() || g.w <= 0) return ::testing::AssertionFailure() << what << ": no screenshot";
    int differ = 0;
    Point first{-1, -1};
    for (int y = g.y; y < g.y + g.h; ++y)
        for (int x = g.x; x < g.x + g.w; ++x) {
            const xtest::Rgb a = kept.at(x, y), b = whole.at(x, y);
            if (a.r != b.r || a.g != b.g || a.b != b.b) {
                if (differ++ == 0) first = {x, y};
            }
        }
    if (differ == 0) return ::testing::AssertionSuccess();
    const xtest::Rgb a = kept.at(first.x, first.y), b = whole.at(first.x, first.y);
    return ::testing::AssertionFailure() << what << ": " << differ << " pixels differ, the first at " << first.x << ","
                                         << first.y << ": kept " << a.r << "," << a.g << "," << a.b << ", whole "
                                         << b.r << "," << b.g << "," << b.b;
}

}  // namespace

// A 6 x 6 board with a submarine and two destroyers a side against Easy,
// dealt and answered the same way on every run: shot row by row, it sees
// hits, sunk ships on both boards and a banner within 36 shots, and the
// human's submarine sunk while the game goes on, which changes every hint.
TEST(KeptPicture, EveryKindOfChangeLeavesTheWindowAsAWholeFrameDrawsIt) {
    Game game({"6", "6", "0", "0", "1", "2", "0"}, std::string("export LD_PRELOAD=") + BATTLESHIPS_FIXED_TIME);
    ASSERT_TRUE(game.started()) << game.out();
    ASSERT_TRUE(xtest::eventually([&] { return game.geometry().w > 0; }));
    const Geometry g = game.geometry();
    const int n = 6 + game.grown();
    const Layout l = layoutFor(g.w, g.h, n, n);
    const Board own = ownBoard(l, g, n, n);
    const Board record = recordBoard(l, g, n, n);

    game.move(own.centre(n - 1, 1));
    EXPECT_TRUE(keptAsDrawnWhole(game, "a preview past the right edge"));
    game.click(own.centre(1, n - 2), 3);
    game.move(own.centre(1, n - 1));
    EXPECT_TRUE(keptAsDrawnWhole(game, "a turned preview past the bottom"));
    ASSERT_TRUE(placeFleet(game, own.centre(0, 0), [&](const xtest::Shot& s) {
        const Point p = record.centre(0, 0);
        return xtest::near(s.at(p.x, p.y), backgroundRgb());
    }));
    EXPECT_TRUE(keptAsDrawnWhole(game, "S"));
    game.move(record.centre(0, 0));
    EXPECT_TRUE(keptAsDrawnWhole(game, "the target square"));
    game.server().xdotool({"mousedown", "3"});
    EXPECT_TRUE(keptAsDrawnWhole(game, "the overlay pressed"));
    game.server().xdotool({"mouseup", "3"});
    EXPECT_TRUE(keptAsDrawnWhole(game, "the overlay released"));

    int sunk = 0;
    bool biggestSunk = false;
    for (int cell = 0; cell < n * n && game.out().find(" won.") == std::string::npos; ++cell) {
        const int x = cell % n, y = cell / n;
        game.click(record.centre(x, y));
        EXPECT_TRUE(keptAsDrawnWhole(game, "shot and answer at " + std::to_string(x) + "," + std::to_string(y)));
        const int now = countCells(game.shot(), own, sunkRgb());
        const bool biggest = now >= sunk + 3 && game.out().find(" won.") == std::string::npos;
        biggestSunk = biggestSunk || biggest;
        sunk = now;
        if (cell % 5 == 0 || biggest) {
            game.server().xdotool({"mousedown", "3"});
            EXPECT_TRUE(keptAsDrawnWhole(game, "the overlay after an exchange"));
            game.server().xdotool({"mouseup", "3"});
        }
    }
    EXPECT_NE(game.out().find(" won."), std::string::npos) << game.out();
    EXPECT_TRUE(biggestSunk) << "the overlay never followed the sinking of the human's submarine";
    EXPECT_TRUE(keptAsDrawnWhole(game, "the banner"));

    game.key("n", own.centre(1, 1));
    EXPECT_TRUE(keptAsDrawnWhole(game, "N"));
    game.key("f", own.centre(1, 1));
    EXPECT_TRUE(keptAsDrawnWhole(game, "F"));
    game.key("f", own.centre(1, 1));
    EXPECT_TRUE(keptAsDrawnWhole(game, "F again"));
    std::string id;
    game.server().xdotool({"search", "--name", "^Battleship game$"}, &id);
    game.server().xdotool({"windowsize", "--sync", id.substr(0, id.find('\n')), "1000", "700"});
    game.move(own.centre(2, 2));
    EXPECT_TRUE(keptAsDrawnWhole(game, "a resize"));
}
