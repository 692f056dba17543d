#ifndef BATTLESHIPS_TESTS_BATTLE_SUPPORT_H
#define BATTLESHIPS_TESTS_BATTLE_SUPPORT_H

// A game in its battle phase located on the screen, and what the window
// tests of that phase look for: the target square, the hint numbers, and
// the banner and boards at the end.

#include "window_support.h"

namespace wt {

// A game with its boards located on the screen.
struct Battle {
    Game game;
    int n = 0;  // board size, both ways
    int fleetCells = 0;
    Geometry g;
    Layout l{};
    Board own{}, record{};

    Battle(const std::vector<std::string>& args, int size, int cells) : game(args), n(size), fleetCells(cells) {}

    bool start() {
        if (!game.started()) return false;
        n += game.grown();
        g = windowOnScreen(kScreenW, kScreenH);
        l = layoutFor(g.w, g.h, n, n);
        own = ownBoard(l, g, n, n);
        record = recordBoard(l, g, n, n);
        return game.waitFor([&](const xtest::Shot& s) { return emptyCell(s, own, n - 1, n - 1); }, 20s);
    }

    // A point in the window's left margin, over no board.
    Point margin() const { return {g.x + 10, g.y + g.h / 2}; }

    // Places the whole fleet with S; the record board appears.
    bool placeAll() {
        return placeFleet(game, margin(),
                          [&](const xtest::Shot& s) { return emptyCell(s, record, n - 1, n - 1); });
    }

    int shotCells(const xtest::Shot& s, const Board& b) const {
        int count = 0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                if (shot(s, b, x, y)) ++count;
        return count;
    }

    bool finished() const { return game.out().find(" won.\n") != std::string::npos; }
};

// Pixels on and beside the grid lines around a cell that show the target
// square's colour.
inline bool targetSquare(const xtest::Shot& s, const Board& b, int x, int y) {
    const std::vector<xtest::Rgb> colours = {over(kTarget, 0.7f, gridRgb()), over(kTarget, 0.7f, backgroundRgb()),
                                             over(kTarget, 0.7f, headerRgb())};
    const Point topLeft = b.at(x, y, 0, 0);
    const Point bottomRight = b.at(x, y, 1, 1);
    const Point mid = b.centre(x, y);
    int sides = 0;
    for (const Point edge : {Point{mid.x, topLeft.y}, Point{mid.x, bottomRight.y}, Point{topLeft.x, mid.y},
                             Point{bottomRight.x, mid.y}}) {
        bool found = false;
        for (int d = -2; d <= 2 && !found; ++d)
            for (const xtest::Rgb& c : colours) {
                const bool vertical = edge.x == mid.x;
                const xtest::Rgb px = vertical ? s.at(edge.x, edge.y + d) : s.at(edge.x + d, edge.y);
                if (xtest::near(px, c, 4)) found = true;
            }
        if (found) ++sides;
    }
    return sides == 4;
}

// Own cells showing a hint number: the text's top-left corner region holds
// a pixel of translucent black over the cell or over a ship.
inline int hintCells(const xtest::Shot& s, const Battle& b) {
    const std::vector<xtest::Rgb> colours = {over({0, 0, 0}, 0.5f, backgroundRgb()),
                                             over({0, 0, 0}, 0.5f, shipRgb())};
    int count = 0;
    for (int y = 0; y < b.n; ++y)
        for (int x = 0; x < b.n; ++x) {
            const Point corner = b.own.at(x, y, 0, 0);
            bool found = false;
            for (int dy = 1; dy <= 10 && !found; ++dy)
                for (int dx = 1; dx <= 16 && !found; ++dx)
                    for (const xtest::Rgb& c : colours)
                        if (xtest::near(s.at(corner.x + dx, corner.y + dy), c, 4)) found = true;
            if (found) ++count;
        }
    return count;
}

// The banner's rectangles on the screen: the frame, and the opaque panel
// inside it.
struct Banner {
    int frameLeft, frameTop, frameRight, frameBottom;  // right and bottom excluded
    int panelLeft, panelTop, panelRight, panelBottom;
    Colour frame;

    bool inPanel(Point p, int margin) const {
        return p.x >= panelLeft - margin && p.x < panelRight + margin && p.y >= panelTop - margin &&
               p.y < panelBottom + margin;
    }
    bool inFrame(Point p, int margin) const {
        return p.x >= frameLeft - margin && p.x < frameRight + margin && p.y >= frameTop - margin &&
               p.y < frameBottom + margin;
    }
    bool onEdge(Point p) const { return (inFrame(p, 2) && !inFrame(p, -2)) || (inPanel(p, 2) && !inPanel(p, -2)); }
};

// The banner over the middle of the window: an opaque white panel centred
// in the window, 90 pixels high, in a frame of the given colour at 0.7
// reaching 40 pixels beyond it left and right and 30 above and below.
inline Banner expectBanner(const xtest::Shot& s, const Battle& b, const Colour& frame) {
    const float cy = b.l.windowH / 2;
    Banner banner{};
    banner.frame = frame;
    banner.frameTop = b.g.y + static_cast<int>(cy - 80);
    banner.panelTop = b.g.y + static_cast<int>(cy - 50);
    banner.panelBottom = b.g.y + static_cast<int>(cy + 40);
    banner.frameBottom = b.g.y + static_cast<int>(cy + 70);
    const int midX = b.g.x + static_cast<int>(b.l.windowW / 2);
    const int probeY = banner.panelTop + 5;  // above the text

    EXPECT_TRUE(xtest::near(s.at(midX, probeY), white(), 0)) << "no white panel: " << str(s.at(midX, probeY));
    int left = midX;
    while (left > 0 && xtest::near(s.at(left - 1, probeY), white(), 0)) --left;
    int right = midX;
    while (right < s.width() - 1 && xtest::near(s.at(right + 1, probeY), white(), 0)) ++right;
    banner.panelLeft = left;
    banner.panelRight = right + 1;
    banner.frameLeft = left - 40;
    banner.frameRight = right + 41;
    // Centred, and wider than its 120 pixels of margin around the text.
    EXPECT_LE(std::abs((left + right + 1) - (2 * b.g.x + static_cast<int>(b.l.windowW))), 2)
        << "panel from " << left << " to " << right;
    EXPECT_GT(right - left + 1, 120);

    for (int y = banner.panelTop; y < banner.panelBottom; ++y)
        EXPECT_TRUE(xtest::near(s.at(left + 5, y), white(), 0)) << "panel row " << y;
    EXPECT_FALSE(xtest::near(s.at(left + 5, banner.panelTop - 1), white(), 0));
    EXPECT_FALSE(xtest::near(s.at(left + 5, banner.panelBottom), white(), 0));

    // The frame band around the panel.
    for (int x = left - 40; x < left; ++x)
        EXPECT_TRUE(frameToned(s.at(x, probeY), frame)) << "left band " << x << " " << str(s.at(x, probeY));
    for (int x = right + 1; x <= right + 40; ++x)
        EXPECT_TRUE(frameToned(s.at(x, probeY), frame)) << "right band " << x << " " << str(s.at(x, probeY));
    for (int y = banner.frameTop; y < banner.panelTop; ++y)
        EXPECT_TRUE(frameToned(s.at(left + 5, y), frame)) << "top band " << y << " " << str(s.at(left + 5, y));
    for (int y = banner.panelBottom; y < banner.frameBottom; ++y)
        EXPECT_TRUE(frameToned(s.at(left + 5, y), frame)) << "bottom band " << y << " " << str(s.at(left + 5, y));

    // Between the boards, where only the colour around them lies beneath,
    // the frame's colour is exact, and it ends where the layout says.
    const bool gapInMiddle = b.l.fieldSpaceW + b.l.fieldSizeW + 2 < b.l.windowW / 2 &&
                             b.l.windowW / 2 + 2 < b.l.fieldSpaceW + b.l.fieldSizeW + b.l.fieldSpaceWmiddle;
    if (gapInMiddle) {
        const int top = banner.frameTop;
        const int bottom = banner.frameBottom;
        EXPECT_TRUE(xtest::near(s.at(midX, top), over(frame, 0.7f, clearRgb()))) << str(s.at(midX, top));
        EXPECT_TRUE(xtest::near(s.at(midX, bottom - 1), over(frame, 0.7f, clearRgb())))
            << str(s.at(midX, bottom - 1));
        EXPECT_TRUE(xtest::near(s.at(midX, top - 2), clearRgb())) << str(s.at(midX, top - 2));
        EXPECT_TRUE(xtest::near(s.at(midX, bottom + 1), clearRgb())) << str(s.at(midX, bottom + 1));
    }

    // Black text on the panel, starting 60 pixels in.
    EXPECT_TRUE(anyNear(s, left + 60, banner.panelTop + 15, right - 59, banner.panelBottom - 20, black(), 60))
        << "no text";
    EXPECT_FALSE(anyNear(s, left, banner.panelTop, left + 58, banner.panelBottom, black(), 100))
        << "text left of its place";
    return banner;
}

// Cells of a board whose upper-half point shows the colour, seen through the
// banner's frame where it lies over them; cells under its panel, or too
// near its edges to tell, are counted apart as hidden.
struct Tally {
    int matched = 0;
    int hidden = 0;
};

inline Tally tally(const xtest::Shot& s, const Board& board, const xtest::Rgb& colour, const Banner& banner) {
    Tally t;
    for (int y = 0; y < board.h; ++y)
        for (int x = 0; x < board.w; ++x) {
            const Point p = board.at(x, y, 0.5f, 0.2f);
            if (banner.inPanel(p, 0) || banner.onEdge(p)) {
                ++t.hidden;
                continue;
            }
            const xtest::Rgb expected = banner.inFrame(p, 0) ? over(banner.frame, 0.7f, colour) : colour;
            if (xtest::near(s.at(p.x, p.y), expected, 4)) ++t.matched;
        }
    return t;
}

// After the game: the banner matching the winner, the record board still
// drawn, the sunk ships in their colour, and after a loss the computer's
// surviving ships shown on the record board.
inline void expectFinished(Battle& b) {
    const std::string out = b.game.out();
    const int wins = countLines(out, "Player #0 won.");
    const int losses = countLines(out, "Player #1 won.");
    ASSERT_EQ(wins + losses, 1) << out;
    EXPECT_EQ(countLines(out, "Second player can't play!"), 0);

    const bool won = wins == 1;
    ::testing::Test::RecordProperty("outcome", won ? "win" : "loss");
    xtest::Shot s = b.game.shot();
    ASSERT_TRUE(b.game.waitFor([&](const xtest::Shot& shot) {
        const Point probe{b.g.x + static_cast<int>(b.l.windowW / 2), b.g.y + static_cast<int>(b.l.windowH / 2 - 45)};
        if (!xtest::near(shot.at(probe.x, probe.y), white(), 0)) return false;
        s = shot;
        return true;
    })) << "no banner";
    SCOPED_TRACE(won ? "won" : "lost");
    const Banner banner = expectBanner(s, b, won ? kFrameWin : kFrameLose);
    const std::vector<TextMask> words = textMasks(b.game, "times24", {won ? "You win!" : "You lose!"});
    ASSERT_EQ(words.size(), 1u);
    const float cx = (b.l.windowW - static_cast<float>(words[0].advance)) / 2;
    EXPECT_TRUE(showsText(s, words[0], rasterPixel(b.g, cx, b.l.windowH / 2 + 3), white()));

    const Point header = b.record.at(0, -1, 0.1f, 0.5f);
    EXPECT_TRUE(xtest::near(s.at(header.x, header.y), headerRgb())) << "record board gone";

    const Tally ownAfloat = tally(s, b.own, shipRgb(), banner);
    const Tally ownSunk = tally(s, b.own, sunkRgb(), banner);
    const Tally enemyAfloat = tally(s, b.record, shipRgb(), banner);
    const Tally enemySunk = tally(s, b.record, sunkRgb(), banner);
    // Each fleet is all there, sunk or afloat, up to what the banner hides.
    EXPECT_LE(ownAfloat.matched + ownSunk.matched, b.fleetCells);
    EXPECT_GE(ownAfloat.matched + ownSunk.matched + ownSunk.hidden, b.fleetCells);
    if (won) {
        // Every enemy ship sunk, some of the own fleet afloat.
        EXPECT_EQ(enemyAfloat.matched, 0);
        EXPECT_LE(enemySunk.matched, b.fleetCells);
        EXPECT_GE(enemySunk.matched + enemySunk.hidden, b.fleetCells) << "not every enemy ship shown sunk";
        EXPECT_GE(ownAfloat.matched + ownAfloat.hidden, 2) << "no own ship afloat";
    } else {
        // Every own ship sunk; the computer's survivors shown.
        EXPECT_EQ(ownAfloat.matched, 0);
        EXPECT_GE(ownSunk.matched + ownSunk.hidden, b.fleetCells) << "not every own ship shown sunk";
        EXPECT_GE(enemyAfloat.matched + enemyAfloat.hidden, 2) << "the computer's surviving ships are not shown";
        EXPECT_LE(enemyAfloat.matched + enemySunk.matched, b.fleetCells);
        EXPECT_GE(enemyAfloat.matched + enemySunk.matched + enemySunk.hidden, b.fleetCells);
    }
}

}  // namespace wt

#endif
