// Targeting queries on a record board: where an enemy ship could still lie,
// given misses, hits and the copies of sunk ships.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "field.h"
#include "ship.h"

namespace {

void mark(Field& f, int x, int y, int state) {
    Coord c(x, y);
    ASSERT_TRUE(f.set(c, state));
}

// Brute force: some run of `size` cells along the direction through pos lies
// on the board, holds no miss and no ship, and no ship is next to it.
bool modelFits(const Field& f, int size, Coord pos, bool vertical) {
    for (int s = -(size - 1); s <= 0; ++s) {
        bool ok = true;
        for (int k = 0; k < size && ok; ++k) {
            const int x = vertical ? pos.x : pos.x + s + k;
            const int y = vertical ? pos.y + s + k : pos.y;
            ok = !f.isOutOfRange(x, y) && f.get(x, y) != 1;
            for (int d = 0; d < 9 && ok; ++d) ok = f.getShip(x + d % 3 - 1, y + d / 3 - 1) == nullptr;
        }
        if (ok) return true;
    }
    return false;
}

}  // namespace

TEST(IsTargetable, OnlyUnshotCellsOnTheBoardAwayFromShips) {
    Field f(Coord(6, 4));
    EXPECT_TRUE(f.isTargetable(Coord(0, 0)));
    EXPECT_TRUE(f.isTargetable(Coord(5, 3)));
    EXPECT_FALSE(f.isTargetable(Coord(-1, 0)));
    EXPECT_FALSE(f.isTargetable(Coord(6, 0)));
    EXPECT_FALSE(f.isTargetable(Coord(0, 4)));
    mark(f, 1, 0, 1);
    mark(f, 2, 0, 2);
    mark(f, 3, 0, 5);
    EXPECT_FALSE(f.isTargetable(Coord(1, 0)));
    EXPECT_FALSE(f.isTargetable(Coord(2, 0)));
    EXPECT_FALSE(f.isTargetable(Coord(3, 0)));
    Boat sunk;
    ASSERT_TRUE(f.setShip(&sunk, Coord(4, 2), false));
    for (int y = 1; y <= 3; ++y)
        for (int x = 3; x <= 5; ++x) EXPECT_FALSE(f.isTargetable(Coord(x, y))) << Coord(x, y);
    EXPECT_TRUE(f.isTargetable(Coord(2, 2)));
}

TEST(IsShipTargetable, DestroyerNeedsOneFreeNeighbourAwayFromSunkShips) {
    Field f(Coord(5, 5));
    Destroyer d;
    EXPECT_FALSE(f.isShipTargetable(nullptr, Coord(2, 2)));
    EXPECT_FALSE(f.isShipTargetable(nullptr, Coord(2, 2), false));
    EXPECT_FALSE(f.isShipTargetable(&d, Coord(-1, 2)));
    EXPECT_FALSE(f.isShipTargetable(&d, Coord(5, 2), false));
    mark(f, 1, 2, 1);
    mark(f, 3, 2, 1);
    mark(f, 2, 1, 1);
    mark(f, 2, 3, 1);
    EXPECT_FALSE(f.isShipTargetable(&d, Coord(2, 2)));
    mark(f, 2, 3, 0);
    EXPECT_TRUE(f.isShipTargetable(&d, Coord(2, 2)));
    EXPECT_FALSE(f.isShipTargetable(&d, Coord(2, 2), false));
    EXPECT_TRUE(f.isShipTargetable(&d, Coord(2, 2), true));
    // A sunk ship next to that pair rules it out again.
    Boat sunk;
    ASSERT_TRUE(f.setShip(&sunk, Coord(1, 4), false));
    EXPECT_FALSE(f.isShipTargetable(&d, Coord(2, 2)));
}

TEST(IsShipTargetable, AWindowTouchingASunkCopyIsRejectedAFartherOneNot) {
    // A sunk boat's copy at x = 0: a destroyer over (2, 0) can't lie on 1..2,
    // which touches the copy, but can on 2..3, until a miss closes that.
    Field f(Coord(5, 1));
    Boat sunk;
    ASSERT_TRUE(f.setShip(&sunk, Coord(0, 0), false));
    Destroyer d;
    EXPECT_TRUE(f.isShipTargetable(&d, Coord(2, 0)));
    mark(f, 3, 0, 1);
    EXPECT_FALSE(f.isShipTargetable(&d, Coord(2, 0)));
    // The same in a column.
    Field g(Coord(1, 5));
    ASSERT_TRUE(g.setShip(&sunk, Coord(0, 4), false));
    EXPECT_TRUE(g.isShipTargetable(&d, Coord(0, 2), true));
    mark(g, 0, 1, 1);
    EXPECT_FALSE(g.isShipTargetable(&d, Coord(0, 2), true));
}

// Random records, checked cell by cell against the brute force above: windows
// may run through hits (also at pos for the one-direction form), never
// through misses or sunk copies. Seeds 1..40 of a private generator; boards
// from 1 x 1 to 9 x 9.
TEST(IsShipTargetable, AgreesWithTheModelOnRandomRecords) {
    const std::unique_ptr<Ship> ships[] = {std::make_unique<Boat>(), std::make_unique<Destroyer>(),
                                           std::make_unique<Submarine>(), std::make_unique<Battleship>(),
                                           std::make_unique<Aircraft>()};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 gen(seed);
        const int w = 1 + gen() % 9, h = 1 + gen() % 9;
        Field f(Coord(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) mark(f, x, y, gen() % 3 == 0 ? gen() % 3 : 0);
        Destroyer sunk[3];
        for (Destroyer& s : sunk) f.setShip(&s, Coord(gen() % w, gen() % h), gen() % 2 == 1);
        for (auto& s : ships)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const Coord c(x, y);
                    const bool hor = modelFits(f, s->getSize(), c, false);
                    const bool ver = modelFits(f, s->getSize(), c, true);
                    EXPECT_EQ(f.isShipTargetable(s.get(), c, false), hor) << seed << s->getName() << c;
                    EXPECT_EQ(f.isShipTargetable(s.get(), c, true), ver) << seed << s->getName() << c;
                    EXPECT_EQ(f.isShipTargetable(s.get(), c), f.get(c) == 0 && (hor || ver))
                        << seed << s->getName() << c;
                }
    }
}
