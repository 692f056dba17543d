// The spacing rule (ships never touch, not even at a corner) and setShip.
// Checked against a plain model: a ship fits when all its cells are on the
// board and no cell of it is within one king's move of a ship.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "field.h"
#include "ship.h"

namespace {

std::vector<Coord> cellsOf(int size, Coord start, bool vertical) {
    std::vector<Coord> cells;
    for (int k = 0; k < size; ++k)
        cells.push_back(vertical ? Coord(start.x, start.y + k) : Coord(start.x + k, start.y));
    return cells;
}

bool fits(const std::vector<Coord>& cells, int w, int h, const std::vector<Coord>& taken) {
    for (const Coord& p : cells) {
        if (p.x < 0 || p.x >= w || p.y < 0 || p.y >= h) return false;
        for (const Coord& q : taken)
            if (std::abs(p.x - q.x) <= 1 && std::abs(p.y - q.y) <= 1) return false;
    }
    return true;
}

}  // namespace

TEST(Spacing, OneByOneBoardTakesABoatButNoDestroyer) {
    Field f(Coord(1, 1));
    Boat boat;
    Destroyer d;
    EXPECT_TRUE(f.isShipSetable(&boat, Coord(0, 0), false));
    EXPECT_TRUE(f.isShipSetable(&boat, Coord(0, 0), true));
    EXPECT_FALSE(f.isShipSetable(&d, Coord(0, 0), false));
    EXPECT_FALSE(f.isShipSetable(&d, Coord(0, 0), true));
    EXPECT_FALSE(f.isShipSetable(nullptr, Coord(0, 0), false));
    EXPECT_FALSE(f.setShip(nullptr, Coord(0, 0), false));
}

TEST(Spacing, BoatBesideAHorizontalDestroyer) {
    Field f(Coord(5, 3));
    Destroyer d;
    ASSERT_TRUE(f.setShip(&d, Coord(0, 0), false));
    Boat b;
    EXPECT_FALSE(f.isShipSetable(&b, Coord(2, 0), false));  // end to end
    EXPECT_FALSE(f.isShipSetable(&b, Coord(2, 1), false));  // corner
    EXPECT_FALSE(f.isShipSetable(&b, Coord(0, 1), false));  // side
    EXPECT_TRUE(f.isShipSetable(&b, Coord(3, 0), false));
    EXPECT_TRUE(f.isShipSetable(&b, Coord(3, 1), false));
    EXPECT_FALSE(f.isShipSetable(&d, Coord(0, 0), false));  // the ship itself counts
}

// Every start on and around the board, both directions, ships of 1 to 5
// cells, next to a submarine in the middle, at an edge, in a corner, or on
// an empty board (only the edges limit a ship there).
TEST(Spacing, AgreesWithTheModelEverywhere) {
    struct Placed {
        bool any;
        Coord start;
        bool vertical;
    };
    const Placed placements[] = {{false, Coord(), false},  {true, Coord(3, 3), false}, {true, Coord(3, 2), true},
                                 {true, Coord(0, 0), false}, {true, Coord(8, 4), true},  {true, Coord(0, 6), false}};
    const int w = 9, h = 7;
    const std::unique_ptr<Ship> probes[] = {std::make_unique<Boat>(), std::make_unique<Destroyer>(),
                                            std::make_unique<Submarine>(), std::make_unique<Battleship>(),
                                            std::make_unique<Aircraft>()};
    for (const Placed& p : placements) {
        Field f(Coord(w, h));
        Submarine sub;
        std::vector<Coord> taken;
        if (p.any) {
            ASSERT_TRUE(f.setShip(&sub, p.start, p.vertical));
            taken = cellsOf(3, p.start, p.vertical);
        }
        for (auto& probe : probes)
            for (int y = -2; y <= h; ++y)
                for (int x = -2; x <= w; ++x)
                    for (bool vertical : {false, true})
                        EXPECT_EQ(f.isShipSetable(probe.get(), Coord(x, y), vertical),
                                  fits(cellsOf(probe->getSize(), Coord(x, y), vertical), w, h, taken))
                            << probe->getName() << " at " << Coord(x, y) << (vertical ? " v" : " h")
                            << " beside " << p.start << (p.vertical ? " v" : " h");
    }
}

TEST(Spacing, CellStatesPlayNoPart) {
    Field f(Coord(6, 1));
    for (int x = 0; x < 6; ++x) {
        Coord c(x, 0);
        f.set(c, x % 2 + 1);
    }
    Battleship b;
    EXPECT_TRUE(f.isShipSetable(&b, Coord(1, 0), false));
}

TEST(SetShip, PlacesTheShipOnItsCellsOnly) {
    Field f(Coord(7, 7));
    Battleship b;
    ASSERT_TRUE(f.setShip(&b, Coord(2, 1), true));
    EXPECT_TRUE(b.isPlaced());
    EXPECT_TRUE(b.getDirection());
    EXPECT_EQ(b.getCoord(), Coord(2, 1));
    Destroyer d;
    ASSERT_TRUE(f.setShip(&d, Coord(4, 6), false));
    EXPECT_FALSE(d.getDirection());
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) {
            Ship* want = x == 2 && y >= 1 && y <= 4 ? static_cast<Ship*>(&b) : y == 6 && (x == 4 || x == 5) ? &d : nullptr;
            EXPECT_EQ(f.getShip(x, y), want) << Coord(x, y);
            EXPECT_EQ(f.get(x, y), 0);  // the state layer is not touched
        }
}

TEST(SetShip, RefusalChangesNeitherBoardNorShip) {
    Field f(Coord(5, 5));
    Destroyer d;
    ASSERT_TRUE(f.setShip(&d, Coord(0, 0), false));
    Submarine s;
    s.coord(Coord(9, 9));
    s.direction(true);
    EXPECT_FALSE(f.setShip(&s, Coord(1, 1), false));  // touches the destroyer
    EXPECT_FALSE(f.setShip(&s, Coord(3, 0), false));  // last cell off the board
    EXPECT_FALSE(f.setShip(&s, Coord(-1, 2), false));
    EXPECT_FALSE(s.isPlaced());
    EXPECT_EQ(s.getCoord(), Coord(9, 9));
    EXPECT_TRUE(s.getDirection());
    int shipCells = 0;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) shipCells += f.getShip(x, y) != nullptr;
    EXPECT_EQ(shipCells, 2);
}
