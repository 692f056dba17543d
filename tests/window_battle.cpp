// The battle phase and the end of a game: the record board, shots and the
// computer's answers as crosses, the target square, the hint overlay, whole
// games played to the banner, input after the end, and a new game.

#include "battle_support.h"

using namespace wt;

namespace {

// Clicks the record board row by row until someone has won.
void playRowByRow(Battle& b) {
    for (int y = 0; y < b.n && !b.finished(); ++y) {
        std::vector<Point> points;
        for (int x = 0; x < b.n; ++x) points.push_back(b.record.centre(x, y));
        b.game.clickAll(points);
        // The row's last cell gets its cross, unless the game ended first.
        ASSERT_TRUE(b.game.waitFor([&](const xtest::Shot& s) {
            return b.finished() || shot(s, b.record, b.n - 1, y);
        })) << "row " << y << " not shot";
    }
    ASSERT_TRUE(xtest::eventually([&] { return b.finished(); })) << b.game.out();
}

}  // namespace

TEST(BattlePhase, KeySPlacesTheFleetThenShotsAndAnswersShowAsCrosses) {
    Battle b({}, 14, 2 * 5 + 3 * 4 + 4 * 3 + 3 * 2);
    ASSERT_TRUE(b.start()) << b.game.out();
    Game& game = b.game;
    // S with the pointer over the own board: from then on the pointer works
    // on the record board, so no target square shows on the own board.
    ASSERT_TRUE(placeFleet(game, b.own.centre(5, 5),
                           [&](const xtest::Shot& s) { return emptyCell(s, b.record, b.n - 1, b.n - 1); }))
        << "the record board never appeared";
    settle();
    EXPECT_FALSE(targetSquare(game.shot(), b.own, 5, 5)) << "target square on the own board after S";

    xtest::Shot s = game.shot();
    EXPECT_EQ(countCells(s, b.own, shipRgb()), b.fleetCells);
    // The record board: empty cells, headers, no instructions any more.
    for (int y = 0; y < b.n; ++y)
        for (int x = 0; x < b.n; ++x) EXPECT_TRUE(emptyCell(s, b.record, x, y)) << "record cell " << x << "," << y;
    const Point letter = b.record.at(b.n - 1, -1, 0.1f, 0.5f);
    const Point number = b.record.at(-1, b.n - 1, 0.1f, 0.5f);
    const Point corner = b.record.centre(-1, -1);
    EXPECT_TRUE(xtest::near(s.at(letter.x, letter.y), headerRgb()));
    EXPECT_TRUE(xtest::near(s.at(number.x, number.y), headerRgb()));
    EXPECT_TRUE(xtest::near(s.at(corner.x, corner.y), cornerRgb()));
    EXPECT_FALSE(instructionsShown(s, b.l, b.g));
    // Both fleets whole, in words above their boards.
    const float tyf = b.l.fieldSpaceH - 13;
    const float ownX = b.l.fieldSpaceW + b.l.columnW / 4;
    const float exf = b.l.fieldSpaceW + b.l.fieldSizeW + b.l.fieldSpaceWmiddle;
    const std::string fleet = "2x aircraft carrier, 3x battleship, 4x submarine, 3x destroyer";
    EXPECT_TRUE(showsText(game, s, "helvetica12", "Remaining ships:", ownX, tyf - 18, clearRgb()));
    EXPECT_TRUE(showsText(game, s, "helvetica12", fleet, ownX, tyf, clearRgb()));
    EXPECT_TRUE(showsText(game, s, "helvetica12", "Ships to destroy:", exf + b.l.columnW / 4, tyf - 18, clearRgb()));
    EXPECT_TRUE(showsText(game, s, "helvetica12", fleet, exf + b.l.columnW / 4, tyf, clearRgb()));
    EXPECT_TRUE(labelsShown(game, s, b.l, exf, b.n, b.n));

    // S again in the battle phase leaves the fleet where it is.
    game.key("s", b.margin());
    settle();
    const xtest::Shot again = game.shot();
    for (int y = 0; y < b.n; ++y)
        for (int x = 0; x < b.n; ++x) {
            const Point p = b.own.at(x, y, 0.5f, 0.2f);
            EXPECT_TRUE(xtest::near(s.at(p.x, p.y), again.at(p.x, p.y))) << "own cell " << x << "," << y;
        }

    // The target square marks the unshot cell under the pointer only.
    game.move(b.record.centre(3, 3));
    ASSERT_TRUE(game.waitFor([&](const xtest::Shot& shot) { return targetSquare(shot, b.record, 3, 3); }))
        << "no target square under the pointer";
    EXPECT_FALSE(targetSquare(game.shot(), b.record, 5, 5));

    // A click shoots there: a cross on the record board, and the computer
    // answers with one cross on the own board. Over the cell just shot the
    // target square is gone.
    game.click(b.record.centre(3, 3));
    ASSERT_TRUE(game.waitFor([&](const xtest::Shot& shot) { return wt::shot(shot, b.record, 3, 3); }))
        << "no cross on the clicked cell";
    s = game.shot();
    EXPECT_EQ(b.shotCells(s, b.record), 1);
    EXPECT_EQ(b.shotCells(s, b.own), 1);
    EXPECT_FALSE(targetSquare(s, b.record, 3, 3)) << "target square over a cell shot at";
    const std::string console = game.out();

    // The same cell again is refused: nothing changes, the computer waits.
    game.click(b.record.centre(3, 3));
    settle();
    s = game.shot();
    EXPECT_EQ(b.shotCells(s, b.record), 1);
    EXPECT_EQ(b.shotCells(s, b.own), 1);
    EXPECT_EQ(game.out(), console);

    // A header cell is no cell: nothing is shot.
    game.click(b.record.centre(-1, 4));
    settle();
    EXPECT_EQ(b.shotCells(game.shot(), b.own), 1);

    // Holding the right button over the record board shows the computer's
    // scores as small numbers on the own board; releasing it hides them.
    game.move(b.record.centre(7, 7));
    EXPECT_EQ(hintCells(game.shot(), b), 0);
    game.server().xdotool({"mousedown", "3"});
    EXPECT_TRUE(game.waitFor([&](const xtest::Shot& shot) { return hintCells(shot, b) > b.n * b.n / 2; }))
        << "no hint numbers while the right button is held";
    game.server().xdotool({"mouseup", "3"});
    EXPECT_TRUE(game.waitFor([&](const xtest::Shot& shot) { return hintCells(shot, b) == 0; }))
        << "hint numbers stay after the release";

    // Another shot plays one more exchange.
    game.click(b.record.centre(10, 12));
    ASSERT_TRUE(game.waitFor([&](const xtest::Shot& shot) { return wt::shot(shot, b.record, 10, 12); }));
    EXPECT_TRUE(game.waitFor([&](const xtest::Shot& shot) { return b.shotCells(shot, b.own) == 2; }));
}

// The overlay drawn as one layer against the plain drawing, cross then
// number cell by cell, before the first shot, when every cell scores the
// count of the others: within 2 levels where the numbers fit their cells;
// on small cells it changes nothing but the pixels it touches, only darker.
TEST(BattlePhase, HintOverlayKeepsToTheCellByCellDrawing) {
    for (const int side : {14, 100}) {
        const std::string q = std::to_string(side / 4);
        Battle b(side == 14 ? std::vector<std::string>{} : std::vector<std::string>{"100", "100", q, q, q, q}, side, 0);
        ASSERT_TRUE(b.start()) << b.game.out();
        ASSERT_TRUE(b.placeAll());
        b.game.move(b.record.centre(0, 0));
        settle();
        const std::string dir = xtest::tempDir();
        const std::string crop = std::to_string(b.g.w) + "x" + std::to_string(b.g.h) + "+" +
                                 std::to_string(b.g.x) + "+" + std::to_string(b.g.y);
        const xtest::Shot plain = b.game.shot();
        for (const char* name : {"plain", "overlay"}) {
            if (name[0] == 'o') {
                // The first press may take a while: its layers are new.
                b.game.server().xdotool({"mousedown", "3"});
                EXPECT_TRUE(b.game.waitFor([&](const xtest::Shot& shot) {
                    const Point p = b.own.centre(0, 0);
                    for (int y = p.y; y < b.g.y + b.g.h; ++y)
                        if (!xtest::near(shot.at(p.x, y), plain.at(p.x, y), 0)) return true;
                    return false;
                })) << "no overlay came after the press";
            }
            settle();
            ASSERT_EQ(b.game.server().run({"import", "-window", "root", "-crop", crop, "-depth", "8",
                                           "ppm:" + dir + "/" + name + ".ppm"}),
                      0);
        }
        b.game.server().xdotool({"mouseup", "3"});
        auto number = [](float f) { return std::to_string(static_cast<double>(f)); };
        std::string out;
        ASSERT_EQ(b.game.server().run({BATTLESHIPS_OVERLAY_REFERENCE, dir + "/plain.ppm", dir + "/overlay.ppm",
                                       number(b.l.fieldSpaceW), number(b.l.fieldSpaceH), number(b.l.columnW),
                                       number(b.l.rowH), std::to_string(b.n), std::to_string(b.n),
                                       std::to_string(b.n * b.n - 1)},
                                      &out),
                  0);
        int most = -1;
        long differ = 0, changed = 0, outside = -1, lighter = -1;
        ASSERT_EQ(std::sscanf(out.c_str(), "differ %d %ld changed %ld outside %ld lighter %ld", &most, &differ,
                              &changed, &outside, &lighter),
                  5)
            << out;
        if (side == 14) {
            EXPECT_LE(most, 2) << out;
        }
        EXPECT_GT(changed, b.n * b.n * 10) << out;
        EXPECT_EQ(outside, 0) << out;
        EXPECT_EQ(lighter, 0) << out;
    }
}

TEST(WholeGame, SmallFleetClickedRowByRowEndsWithTheMatchingBanner) {
    // A submarine and a destroyer on 6 x 6 against the Easy computer.
    Battle b({"6", "6", "0", "0", "1", "1", "0"}, 6, 3 + 2);
    ASSERT_TRUE(b.start()) << b.game.out();
    ASSERT_TRUE(b.placeAll());
    playRowByRow(b);
    expectFinished(b);
}

TEST(WholeGame, DestroyerFillingTheBoardIsSunkFirstByTheHuman) {
    // On a board of two cells each destroyer can only lie across both, and
    // the human shoots first: the human wins on its second shot, before the
    // computer's second answer.
    Battle b({"2", "1", "0", "0", "0", "1", "0"}, 0, 2);
    ASSERT_TRUE(b.game.started()) << b.game.out();
    ASSERT_EQ(b.game.grown(), 0);
    b.g = windowOnScreen(kScreenW, kScreenH);
    b.l = layoutFor(b.g.w, b.g.h, 2, 1);
    b.own = ownBoard(b.l, b.g, 2, 1);
    b.record = recordBoard(b.l, b.g, 2, 1);
    b.n = 2;
    ASSERT_TRUE(b.game.waitFor([&](const xtest::Shot& s) { return emptyCell(s, b.own, 1, 0); }, 20s));

    b.game.click(b.own.centre(0, 0));
    ASSERT_TRUE(b.game.waitFor([&](const xtest::Shot& s) {
        return countCells(s, b.own, shipRgb()) == 2 && emptyCell(s, b.record, 1, 0);
    })) << "the destroyer was not set, or no record board";

    b.game.click(b.record.centre(0, 0));
    ASSERT_TRUE(b.game.waitFor([&](const xtest::Shot& s) {
        return hasHit(s, b.record, 0, 0) && (hasHit(s, b.own, 0, 0) != hasHit(s, b.own, 1, 0));
    })) << "no hit on each side";
    EXPECT_EQ(countLines(b.game.out(), "Player #0 won."), 0);

    // The winning shot fired with the right button held: its release after
    // the end still takes the hint overlay away.
    b.game.move(b.record.centre(1, 0));
    b.game.server().xdotool({"mousedown", "3"});
    ASSERT_TRUE(b.game.waitFor([&](const xtest::Shot& s) { return hintCells(s, b) == 1; }))
        << "no hint number while the right button is held";
    b.game.click(b.record.centre(1, 0));
    ASSERT_TRUE(b.game.process().waitForOutput("Player #0 won.\n", 10s)) << b.game.out();
    b.game.server().xdotool({"mouseup", "3"});
    expectFinished(b);
    // The computer made no answer to the winning shot.
    const xtest::Shot s = b.game.shot();
    EXPECT_NE(hasHit(s, b.own, 0, 0), hasHit(s, b.own, 1, 0));
    EXPECT_TRUE(hasHit(s, b.record, 1, 0));

    // The next game's battle phase shows no overlay without the button held.
    b.game.key("n", b.margin());
    ASSERT_TRUE(b.game.waitFor([&](const xtest::Shot& s) { return emptyCell(s, b.own, 0, 0); }));
    b.game.click(b.own.centre(0, 0));
    b.game.move(b.record.centre(0, 0));
    ASSERT_TRUE(b.game.waitFor([&](const xtest::Shot& s) { return targetSquare(s, b.record, 0, 0); }));
    EXPECT_EQ(hintCells(b.game.shot(), b), 0) << "the hint overlay is back with no button held";
}

TEST(WholeGame, DefaultGameClickedRowByRowEndsWithTheMatchingBanner) {
    Battle b({}, 14, 2 * 5 + 3 * 4 + 4 * 3 + 3 * 2);
    ASSERT_TRUE(b.start()) << b.game.out();
    ASSERT_TRUE(b.placeAll());
    playRowByRow(b);
    expectFinished(b);
}

TEST(FinishedGame, ClicksAreIgnoredAndKeyNStartsTheNextGame) {
    // One destroyer on 8 x 8. It covers one cell of each colour of a
    // checkerboard, so shooting the dark cells finds it, and its other cell
    // is a neighbour of the hit: most light cells stay unshot to the end.
    Battle b({"8", "8", "0", "0", "0", "1", "0"}, 8, 2);
    ASSERT_TRUE(b.start()) << b.game.out();
    ASSERT_TRUE(b.placeAll());
    std::vector<Point> dark;
    for (int y = 0; y < b.n; ++y)
        for (int x = (y % 2); x < b.n; x += 2) dark.push_back(b.record.centre(x, y));
    b.game.clickAll(dark);
    // The last dark cell is the board's last cell.
    ASSERT_TRUE(b.game.waitFor(
        [&](const xtest::Shot& s) { return b.finished() || shot(s, b.record, b.n - 1, b.n - 1); }));
    if (!b.finished()) {
        const xtest::Shot s = b.game.shot();
        std::vector<Point> hits;
        for (int y = 0; y < b.n; ++y)
            for (int x = 0; x < b.n; ++x)
                if (hasHit(s, b.record, x, y)) hits.push_back({x, y});
        ASSERT_EQ(hits.size(), 1u) << "one cell of the destroyer is hit";
        // Every other dark cell shows a miss, every light one nothing.
        for (int y = 0; y < b.n; ++y)
            for (int x = 0; x < b.n; ++x) {
                if (x == hits[0].x && y == hits[0].y) continue;
                if ((x + y) % 2 == 0)
                    EXPECT_TRUE(hasMiss(s, b.record, x, y)) << "no miss at " << x << "," << y;
                else
                    EXPECT_TRUE(emptyCell(s, b.record, x, y)) << "not empty at " << x << "," << y;
            }
        for (const Point d : {Point{1, 0}, Point{-1, 0}, Point{0, 1}, Point{0, -1}}) {
            const Point c{hits[0].x + d.x, hits[0].y + d.y};
            if (c.x < 0 || c.y < 0 || c.x >= b.n || c.y >= b.n || b.finished()) continue;
            b.game.click(b.record.centre(c.x, c.y));
            ASSERT_TRUE(b.game.waitFor([&](const xtest::Shot& shot) {
                return b.finished() || wt::shot(shot, b.record, c.x, c.y);
            }));
        }
    }
    ASSERT_TRUE(xtest::eventually([&] { return b.finished(); })) << b.game.out();
    expectFinished(b);

    // An unshot cell with nothing on it.
    const xtest::Shot before = b.game.shot();
    Point unshot{-1, -1};
    for (int y = 0; y < b.n && unshot.x < 0; ++y)
        for (int x = 0; x < b.n && unshot.x < 0; ++x)
            if (emptyCell(before, b.record, x, y)) unshot = {x, y};
    ASSERT_GE(unshot.x, 0) << "no unshot cell left";
    const std::string console = b.game.out();

    // No target square over it, and a click there shoots nothing: neither
    // board changes and the console stays quiet.
    b.game.move(b.record.centre(unshot.x, unshot.y));
    settle();
    EXPECT_FALSE(targetSquare(b.game.shot(), b.record, unshot.x, unshot.y)) << "target square after the end";
    b.game.click(b.record.centre(unshot.x, unshot.y));
    settle();
    const xtest::Shot after = b.game.shot();
    EXPECT_TRUE(emptyCell(after, b.record, unshot.x, unshot.y)) << "the click after the end shot";
    for (int y = 0; y < b.n; ++y)
        for (int x = 0; x < b.n; ++x)
            for (const Board* board : {&b.own, &b.record})
                for (const Point f : {Point{50, 50}, Point{50, 20}, Point{35, 35}, Point{65, 35}}) {
                    const Point p = board->at(x, y, f.x / 100.0f, f.y / 100.0f);
                    EXPECT_TRUE(xtest::near(before.at(p.x, p.y), after.at(p.x, p.y)))
                        << (board == &b.own ? "own" : "record") << " cell " << x << "," << y;
                }
    EXPECT_EQ(b.game.out(), console);

    // N: the next game, in the placing phase again. The instructions are
    // back, no record board, no banner, an empty own board.
    b.game.key("n", b.margin());
    ASSERT_TRUE(b.game.waitFor([&](const xtest::Shot& s) { return instructionsShown(s, b.l, b.g); }))
        << "no placing phase after N";
    const xtest::Shot fresh = b.game.shot();
    for (int y = 0; y < b.n; ++y)
        for (int x = 0; x < b.n; ++x) EXPECT_TRUE(emptyCell(fresh, b.own, x, y)) << "own cell " << x << "," << y;
    const Point recordCell = b.record.centre(b.n - 1, b.n - 1);
    EXPECT_TRUE(xtest::near(fresh.at(recordCell.x, recordCell.y), clearRgb())) << "record board still drawn";
    const Point probe{b.g.x + static_cast<int>(b.l.windowW / 2), b.g.y + static_cast<int>(b.l.windowH / 2 - 45)};
    EXPECT_TRUE(xtest::near(fresh.at(probe.x, probe.y), clearRgb())) << "banner still drawn";
    EXPECT_EQ(b.game.out(), console);

    // Clicks work again: the destroyer goes where it is clicked, and the
    // battle phase follows.
    b.game.click(b.own.centre(0, 0));
    EXPECT_TRUE(b.game.waitFor([&](const xtest::Shot& s) {
        return countCells(s, b.own, shipRgb()) == 2 && emptyCell(s, b.record, 0, 0);
    })) << "the next game takes no ship";
}

TEST(TallBoard, FittedLayoutDrawsAHundredAndTwentyRowsWithFullRowNumbers) {
    Battle b({"30", "120", "0", "0", "0", "1"}, 0, 2);
    ASSERT_TRUE(b.game.started()) << b.game.out();
    const int w = 30 + b.game.grown();
    const int h = 120 + b.game.grown();
    b.g = windowOnScreen(kScreenW, kScreenH);
    b.l = layoutFor(b.g.w, b.g.h, w, h);
    ASSERT_TRUE(b.l.fitted);
    b.own = ownBoard(b.l, b.g, w, h);
    b.record = recordBoard(b.l, b.g, w, h);

    // Cells far apart on the board, the last one included.
    ASSERT_TRUE(b.game.waitFor(
        [&](const xtest::Shot& s) {
            for (const Point c : {Point{w - 1, h - 1}, Point{2, 0}, Point{w / 2, h / 2}, Point{w - 1, 0}}) {
                const Point p = b.own.centre(c.x, c.y);
                if (!xtest::near(s.at(p.x, p.y), backgroundRgb())) return false;
            }
            return true;
        },
        20s))
        << "board not drawn where the fitted layout puts it";
    const xtest::Shot s = b.game.shot();
    // Just right of and below the board: the colour around it.
    const int right = static_cast<int>(std::floor(b.own.left)) + static_cast<int>(b.l.fieldSizeW) + 2;
    const int bottom = static_cast<int>(std::floor(b.own.top)) + static_cast<int>(b.l.fieldSizeH) + 2;
    const Point mid = b.own.centre(w / 2, h / 2);
    EXPECT_TRUE(xtest::near(s.at(right, mid.y), clearRgb())) << str(s.at(right, mid.y));
    EXPECT_TRUE(xtest::near(s.at(mid.x, bottom), clearRgb())) << str(s.at(mid.x, bottom));

    // With the boards 30 pixels from the top, the fleet heading's baseline
    // falls above the window and it is not drawn; the summary below it is.
    const int tx = b.g.x + static_cast<int>(b.l.fieldSpaceW + b.l.columnW / 4);
    EXPECT_TRUE(anyNear(s, tx, b.g.y + 6, tx + 100, b.g.y + 20, white(), 0)) << "no fleet summary";
    for (int y = b.g.y; y < b.g.y + 5; ++y)
        for (int x = tx - 5; x < tx + 150; ++x)
            EXPECT_TRUE(xtest::near(s.at(x, y), clearRgb())) << "heading drawn at " << x << "," << y;

    // Row numbers are centred on the header column, so a longer number
    // starts further left. Rows 100 and on show all three digits: they
    // reach further left than rows 10 to 19, which begin with the same
    // digit.
    auto leftmostWhite = [&](int firstRow, int lastRow) {
        const float base = (b.l.rowH + 8.5f) / 2;
        const int y0 = static_cast<int>(b.own.top + static_cast<float>(firstRow) * b.l.rowH + base) - 8;
        const int y1 = static_cast<int>(b.own.top + static_cast<float>(lastRow) * b.l.rowH + base);
        const int x0 = static_cast<int>(b.own.left) - 30;
        for (int x = x0; x < static_cast<int>(b.own.left) + 3; ++x)
            for (int y = y0; y <= y1; ++y)
                if (xtest::near(s.at(x, y), white(), 0)) return x;
        return -1;
    };
    const int twoDigits = leftmostWhite(11, 18);
    const int threeDigits = leftmostWhite(101, 119);
    ASSERT_GE(twoDigits, 0) << "no row numbers 11 to 18";
    ASSERT_GE(threeDigits, 0) << "no row numbers 101 to 119";
    EXPECT_LE(threeDigits, twoDigits - 2) << "rows past 99 don't show three digits";

    // The pointer maps onto the small cells: a click sets the destroyer,
    // and the record board follows.
    b.game.click(b.own.centre(10, 60));
    EXPECT_TRUE(b.game.waitFor([&](const xtest::Shot& shot) {
        const Point first = b.own.centre(10, 60);
        const Point second = b.own.centre(11, 60);
        const Point rec = b.record.centre(w - 1, h - 1);
        return xtest::near(shot.at(first.x, first.y), shipRgb()) &&
               xtest::near(shot.at(second.x, second.y), shipRgb()) &&
               xtest::near(shot.at(rec.x, rec.y), backgroundRgb());
    })) << "no ship at the clicked cell of the tall board";
    EXPECT_TRUE(b.game.process().running());
}

// The largest board, 300 x 300 with 25 ships a type: S, shots, the overlay
// held and let go, N. Its cells are under three pixels, too small to read a
// cross in; the checked run holds every one of these frames against a
// whole frame, and here the screen must show each step's change.
TEST(LargestBoard, PlacesShootsShowsTheOverlayAndDealsAgain) {
    Battle b({"300", "300", "25", "25", "25", "25", "1"}, 300, 0);
    ASSERT_TRUE(b.game.started()) << b.game.out();
    b.g = windowOnScreen(kScreenW, kScreenH);
    b.l = layoutFor(b.g.w, b.g.h, 300, 300);
    b.own = ownBoard(b.l, b.g, 300, 300);
    b.record = recordBoard(b.l, b.g, 300, 300);
    Game& game = b.game;
    ASSERT_TRUE(game.waitFor([&](const xtest::Shot& s) { return instructionsShown(s, b.l, b.g); }, 30s));

    // The record board comes with S where the instructions stood.
    const Point middle = b.record.centre(150, 150);
    ASSERT_TRUE(placeFleet(game, b.margin(), [&](const xtest::Shot& s) {
        return !xtest::near(s.at(middle.x, middle.y), clearRgb()) && !instructionsShown(s, b.l, b.g);
    })) << "the record board never appeared";

    // Every pixel of the own board's cells, where the computer's answers
    // land, and of one column of them, where the overlay's crosses do.
    auto ownPixels = [&](const xtest::Shot& s, int firstColumn, int lastColumn) {
        std::vector<int> pixels;
        const Point from = b.own.at(firstColumn, 0, 0, 0), to = b.own.at(lastColumn, 299, 1, 1);
        for (int y = from.y; y < to.y; ++y)
            for (int x = from.x; x < to.x; ++x) {
                const xtest::Rgb c = s.at(x, y);
                pixels.push_back(c.r << 16 | c.g << 8 | c.b);
            }
        return pixels;
    };
    auto ownColumn = [&](const xtest::Shot& s) { return ownPixels(s, 150, 150); };

    // Shots far apart on the part of the record board inside the window:
    // each is answered somewhere on the own board.
    settle();
    xtest::Shot before = game.shot();
    for (const Point cell : {Point{2, 2}, Point{120, 250}, Point{200, 40}}) {
        game.click(b.record.centre(cell.x, cell.y));
        std::this_thread::sleep_for(1s);
    }
    EXPECT_TRUE(game.waitFor([&](const xtest::Shot& s) { return ownPixels(s, 0, 299) != ownPixels(before, 0, 299); },
                             20s))
        << "no answer shows on the own board";

    // The overlay over the whole own board, and gone again on release.
    game.move(b.record.centre(100, 100));
    std::this_thread::sleep_for(1s);
    before = game.shot();
    game.server().xdotool({"mousedown", "3"});
    EXPECT_TRUE(game.waitFor([&](const xtest::Shot& s) { return ownColumn(s) != ownColumn(before); }, 30s))
        << "no overlay while the right button is held";
    game.server().xdotool({"mouseup", "3"});
    EXPECT_TRUE(game.waitFor([&](const xtest::Shot& s) { return ownColumn(s) == ownColumn(before); }, 30s))
        << "the overlay stays after the release";

    // N: placing again, the record board gone.
    game.key("n", b.margin());
    EXPECT_TRUE(game.waitFor([&](const xtest::Shot& s) { return instructionsShown(s, b.l, b.g); }, 30s))
        << "no new game after N";
    EXPECT_TRUE(game.process().running());
}
