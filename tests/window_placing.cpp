// The placing phase: the own board and its headers, the instructions where
// the record board will stand, ships set by clicks, the right button turning
// the next ship, and the preview under the pointer.

#include "window_support.h"

using namespace wt;

namespace {

struct Placing {
    Game game;
    int n = 0;  // board size, both ways
    Geometry g;
    Layout l{};
    Board own{}, record{};

    bool start() {
        if (!game.started()) return false;
        n = 14 + game.grown();
        g = windowOnScreen(kScreenW, kScreenH);
        l = layoutFor(g.w, g.h, n, n);
        own = ownBoard(l, g, n, n);
        record = recordBoard(l, g, n, n);
        return game.waitFor(
            [&](const xtest::Shot& s) { return emptyCell(s, own, n - 1, n - 1); }, 20s);
    }

    // Waits until every listed own cell shows the colour at its upper half,
    // away from the crosses.
    bool cellsShow(const std::vector<Point>& cells, const xtest::Rgb& colour) {
        return game.waitFor([&](const xtest::Shot& s) {
            for (const Point& c : cells) {
                const Point p = own.at(c.x, c.y, 0.5f, 0.2f);
                if (!xtest::near(s.at(p.x, p.y), colour)) return false;
            }
            return true;
        });
    }
};

std::vector<Point> row(int x, int y, int length) {
    std::vector<Point> cells;
    for (int k = 0; k < length; ++k) cells.push_back({x + k, y});
    return cells;
}

std::vector<Point> column(int x, int y, int length) {
    std::vector<Point> cells;
    for (int k = 0; k < length; ++k) cells.push_back({x, y + k});
    return cells;
}

}  // namespace

TEST(PlacingPhase, DrawsTheOwnBoardAndTheInstructionsInPlaceOfTheRecordBoard) {
    Placing p;
    ASSERT_TRUE(p.start()) << p.game.out();
    const Board& own = p.own;
    const int n = p.n;
    const xtest::Shot s = p.game.shot();

    // Every cell is empty: board background.
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) EXPECT_TRUE(emptyCell(s, own, x, y)) << "cell " << x << "," << y;

    // Header row and column, left of their letters and numbers; the corner
    // lies under both and comes out darker.
    for (int k = 0; k < n; ++k) {
        const Point letter = own.at(k, -1, 0.1f, 0.5f);
        const Point number = own.at(-1, k, 0.1f, 0.5f);
        EXPECT_TRUE(xtest::near(s.at(letter.x, letter.y), headerRgb())) << "column header " << k << " "
                                                                         << str(s.at(letter.x, letter.y));
        EXPECT_TRUE(xtest::near(s.at(number.x, number.y), headerRgb())) << "row header " << k << " "
                                                                         << str(s.at(number.x, number.y));
    }
    const Point corner = own.centre(-1, -1);
    EXPECT_TRUE(xtest::near(s.at(corner.x, corner.y), cornerRgb())) << str(s.at(corner.x, corner.y));

    // The board's outer grid lines stand where the layout puts its edges,
    // with the colour around the boards just outside.
    const int left = static_cast<int>(std::floor(own.left));
    const int top = static_cast<int>(std::floor(own.top));
    const Point mid = own.centre(n / 2, n / 2);
    EXPECT_TRUE(xtest::near(s.at(left, mid.y), gridRgb())) << str(s.at(left, mid.y));
    EXPECT_TRUE(xtest::near(s.at(left - 1, mid.y), clearRgb())) << str(s.at(left - 1, mid.y));
    EXPECT_TRUE(xtest::near(s.at(mid.x, top), gridRgb())) << str(s.at(mid.x, top));
    EXPECT_TRUE(xtest::near(s.at(mid.x, top - 1), clearRgb())) << str(s.at(mid.x, top - 1));
    // Inner grid lines between cells, one per drawn column.
    for (int k = 2; k <= n; ++k) {
        const int x = static_cast<int>(std::floor(own.left + static_cast<float>(static_cast<int>(k * own.columnW))));
        EXPECT_TRUE(xtest::near(s.at(x, mid.y), gridRgb())) << "grid line " << k << " " << str(s.at(x, mid.y));
    }

    // No record board yet: where its cells will be, the colour around the
    // boards shows, except under the instruction lines.
    const Point i = instructions(p.l);
    int clearCells = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const Point c = p.record.centre(x, y);
            const bool underText = c.x >= p.g.x + i.x - 5 && c.x <= p.g.x + i.x + 320 &&
                                   c.y >= p.g.y + i.y - 15 && c.y <= p.g.y + i.y + 65;
            if (underText) continue;
            EXPECT_TRUE(xtest::near(s.at(c.x, c.y), clearRgb())) << "record cell " << x << "," << y;
            ++clearCells;
        }
    EXPECT_GT(clearCells, n * n / 2);

    // "Set your ships!" in opaque white, the three lines below it at 0.7,
    // each starting where the layout puts the instructions, 20 pixels apart.
    EXPECT_TRUE(instructionsShown(s, p.l, p.g));
    const xtest::Rgb dimText = over({1, 1, 1}, 0.7f, clearRgb());
    const int ix = p.g.x + i.x;
    for (int line = 0; line <= 3; ++line) {
        const int y = p.g.y + i.y + 20 * line;
        if (line > 0) {
            EXPECT_TRUE(anyNear(s, ix, y - 12, ix + 200, y + 2, dimText)) << "instruction " << line;
            EXPECT_FALSE(anyNear(s, ix, y - 12, ix + 200, y + 2, white(), 0)) << "instruction " << line;
        }
        int leftmost = -1;
        for (int x = ix - 40; x < ix + 100 && leftmost < 0; ++x)
            for (int yy = y - 11; yy <= y + 2; ++yy)
                if (!xtest::near(s.at(x, yy), clearRgb())) {
                    leftmost = x;
                    break;
                }
        EXPECT_GE(leftmost, ix - 1) << "instruction " << line;
        EXPECT_LE(leftmost, ix + 2) << "instruction " << line;
    }
    // Nothing above the first line.
    EXPECT_FALSE(anyNear(s, ix, p.g.y + i.y - 32, ix + 200, p.g.y + i.y - 12, white(), 40));

    // Above the board: the heading at 0.7 and the summary of ships to set
    // in opaque white.
    const int tx = p.g.x + static_cast<int>(p.l.fieldSpaceW + p.l.columnW / 4);
    const int ty = p.g.y + static_cast<int>(p.l.fieldSpaceH - 13);
    EXPECT_TRUE(anyNear(s, tx, ty - 12, tx + 300, ty + 2, white(), 0)) << "summary";
    EXPECT_TRUE(anyNear(s, tx, ty - 30, tx + 100, ty - 16, dimText)) << "heading";

    // Below the board, the key help in white at 0.5, starting at the same x.
    const int ky = p.g.y + static_cast<int>(p.l.fieldSpaceH + p.l.fieldSizeH + 21);
    EXPECT_TRUE(anyNear(s, tx, ky - 11, tx + 300, ky + 3, over({1, 1, 1}, 0.5f, clearRgb()))) << "key help";
    for (int y = ky - 11; y <= ky + 3; ++y)
        for (int x = tx - 30; x < tx - 1; ++x)
            EXPECT_TRUE(xtest::near(s.at(x, y), clearRgb())) << "left of the key help at " << x << "," << y;

    // The words themselves, pixel for pixel.
    EXPECT_TRUE(labelsShown(p.game, s, p.l, p.l.fieldSpaceW, n, n));
    const float txf = p.l.fieldSpaceW + p.l.columnW / 4;
    const float tyf = p.l.fieldSpaceH - 13;
    const float ixf = p.l.fieldSpaceW + p.l.fieldSizeW + 0.1f * p.l.fieldSizeW;
    const float iyf = p.l.fieldSpaceH + 0.25f * p.l.fieldSizeH;
    struct Words {
        const char* text;
        float x, y;
    };
    const Words words[] = {
        {"Ships to set:", txf, tyf - 18},
        {"2x aircraft carrier, 3x battleship, 4x submarine, 3x destroyer", txf, tyf},
        {"Press key to: (N) New game, (Q) Quit game, (F) Fulscreen toggle", txf, p.l.fieldSpaceH + p.l.fieldSizeH + 21},
        {"Set your ships!", ixf, iyf},
        {"- use left mouse to set your ships", ixf, iyf + 20},
        {"- use right mouse to change ship orientation", ixf, iyf + 40},
        {"- press (S) to automatically set your ships", ixf, iyf + 60},
    };
    for (const Words& w : words) EXPECT_TRUE(showsText(p.game, s, "helvetica12", w.text, w.x, w.y, clearRgb()));
}

TEST(PlacingPhase, LeftClickPlacesRightButtonTurnsAndThePreviewShowsWhereAShipMayStand) {
    Placing p;
    ASSERT_TRUE(p.start()) << p.game.out();
    Game& game = p.game;
    const Board& own = p.own;
    const int n = p.n;
    ASSERT_GE(n, 14);

    // The first ship of the default fleet is an aircraft carrier, five cells
    // along x: green where it may stand.
    game.move(own.centre(1, 1));
    ASSERT_TRUE(p.cellsShow(row(1, 1, 5), previewOkRgb())) << "no green preview over cells B2 to F2";
    EXPECT_TRUE(emptyCell(game.shot(), own, 6, 1));

    game.click(own.centre(1, 1));
    ASSERT_TRUE(p.cellsShow(row(1, 1, 5), shipRgb())) << "no ship after the click";
    EXPECT_EQ(countCells(game.shot(), own, shipRgb()), 5);
    EXPECT_EQ(countCells(game.shot(), own, previewOkRgb()), 0) << "a preview before the pointer moved";

    // Touching the first ship: red.
    game.move(own.centre(2, 2));
    EXPECT_TRUE(p.cellsShow(row(2, 2, 5), previewBadRgb())) << "no red preview next to the ship";

    // Running past the right edge: red, drawn at full length, the part
    // past the edge over the colour around the boards.
    game.move(own.centre(n - 2, 8));
    EXPECT_TRUE(p.cellsShow(row(n - 2, 8, 2), previewBadRgb())) << "no red preview at the edge";
    const Point past = own.centre(n, 8);
    EXPECT_TRUE(xtest::near(game.shot().at(past.x, past.y), over(kPreviewBad, 0.6f, clearRgb())))
        << "preview not drawn past the edge: " << str(game.shot().at(past.x, past.y));

    // The right button turns the next ship when it is released, not when
    // it is pressed.
    game.move(own.centre(8, 4));
    ASSERT_TRUE(p.cellsShow(row(8, 4, 5), previewOkRgb()));
    game.server().xdotool({"mousedown", "3"});
    settle();
    EXPECT_TRUE(p.cellsShow(row(8, 4, 5), previewOkRgb())) << "turned on press";
    game.server().xdotool({"mouseup", "3"});
    ASSERT_TRUE(p.cellsShow(column(8, 4, 5), previewOkRgb())) << "not turned on release";
    EXPECT_TRUE(emptyCell(game.shot(), own, 9, 4));

    game.click(own.centre(8, 4));
    ASSERT_TRUE(p.cellsShow(column(8, 4, 5), shipRgb())) << "no vertical ship after the click";
    EXPECT_EQ(countCells(game.shot(), own, shipRgb()), 10);
    EXPECT_TRUE(emptyCell(game.shot(), own, 9, 4));
    EXPECT_TRUE(emptyCell(game.shot(), own, 8, 9));

    // The direction survives a placed ship; the middle button places too.
    // Next comes a battleship of four cells.
    game.move(own.centre(11, 2));
    ASSERT_TRUE(p.cellsShow(column(11, 2, 4), previewOkRgb())) << "next preview not vertical";
    EXPECT_TRUE(emptyCell(game.shot(), own, 11, 6));
    game.click(own.centre(11, 2), 2);
    ASSERT_TRUE(p.cellsShow(column(11, 2, 4), shipRgb())) << "middle button placed nothing";
    EXPECT_EQ(countCells(game.shot(), own, shipRgb()), 14);
    EXPECT_TRUE(showsText(game, game.shot(), "helvetica12", "0x aircraft carrier, 2x battleship, 4x submarine, 3x destroyer",
                          p.l.fieldSpaceW + p.l.columnW / 4, p.l.fieldSpaceH - 13, clearRgb()));

    // A click where the next ship may not stand changes nothing.
    game.click(own.centre(9, 6));
    settle();
    EXPECT_EQ(countCells(game.shot(), own, shipRgb()), 14);
    EXPECT_TRUE(instructionsShown(game.shot(), p.l, p.g)) << "left the placing phase";
}
