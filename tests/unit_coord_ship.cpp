// Coordinates and ship types: the null position, comparison, printing, and
// the ship lifecycle (fresh, placed, hit, destroyed, clone, null).
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <typeinfo>

#include "coord.h"
#include "ship.h"

TEST(Coord, NullComparisonAndPrinting) {
    EXPECT_TRUE(Coord().isNull());
    EXPECT_FALSE(Coord(-1, 0).isNull());
    EXPECT_FALSE(Coord(0, -1).isNull());
    Coord c(3, 4);
    std::ostringstream out;
    out << c << ' ' << Coord() << ' ' << Coord(12, 0);
    EXPECT_EQ(out.str(), "3x4 -1x-1 12x0");
    c.null();
    EXPECT_TRUE(c.isNull());
    EXPECT_EQ(c, Coord(-1, -1));

    EXPECT_TRUE(Coord(5, 7) == Coord(5, 7));
    EXPECT_FALSE(Coord(5, 7) != Coord(5, 7));
    EXPECT_FALSE(Coord(5, 7) == Coord(7, 5));
    EXPECT_TRUE(Coord(5, 7) != Coord(7, 5));
    EXPECT_TRUE(Coord(5, 7) != Coord(5, 8));
}

TEST(Ship, TypesStartFreshWithTheirNamesAndSizes) {
    const std::unique_ptr<Ship> all[] = {std::make_unique<Aircraft>(), std::make_unique<Battleship>(),
                                         std::make_unique<Submarine>(), std::make_unique<Destroyer>(),
                                         std::make_unique<Boat>()};
    const char* names[] = {"aircraft carrier", "battleship", "submarine", "destroyer", "boat"};
    for (int i = 0; i < 5; ++i) {
        const Ship& s = *all[i];
        EXPECT_STREQ(s.getName(), names[i]);
        EXPECT_EQ(s.getSize(), 5 - i);
        EXPECT_FALSE(s.isDestroyed()) << names[i];
        EXPECT_FALSE(s.isPlaced());
        EXPECT_FALSE(s.getDirection());
        EXPECT_TRUE(all[i]->getCoord().isNull());
        // Each clone is of its own type.
        std::unique_ptr<Ship> copy(s.clone());
        EXPECT_EQ(typeid(*copy), typeid(s));
    }
}

TEST(Ship, DestroyedOnceHitsReachTheSizeAndStaysSo) {
    Destroyer d;
    d.hit();
    EXPECT_FALSE(d.isDestroyed());
    d.hit();
    EXPECT_TRUE(d.isDestroyed());
    d.hit();
    EXPECT_TRUE(d.isDestroyed());
    EXPECT_EQ(d.getHitted(), 3);
    Boat b;
    b.hit();
    EXPECT_TRUE(b.isDestroyed());
}

TEST(Ship, CloneKeepsEveryMemberAndIsIndependent) {
    Submarine s;
    s.coord(Coord(4, 1));
    s.direction(true);
    s.place(true);
    s.hit();
    std::unique_ptr<Ship> copy(s.clone());
    EXPECT_EQ(typeid(*copy), typeid(Submarine));
    EXPECT_EQ(copy->getCoord(), Coord(4, 1));
    EXPECT_TRUE(copy->getDirection());
    EXPECT_TRUE(copy->isPlaced());
    EXPECT_EQ(copy->getHitted(), 1);

    copy->hit();
    copy->hit();
    copy->getCoord().x = 0;  // the start itself, not a copy of it
    copy->direction(false);
    copy->place(false);
    EXPECT_TRUE(copy->isDestroyed());
    EXPECT_EQ(copy->getCoord(), Coord(0, 1));
    EXPECT_EQ(s.getHitted(), 1);
    EXPECT_EQ(s.getCoord(), Coord(4, 1));
    EXPECT_TRUE(s.getDirection());
    EXPECT_TRUE(s.isPlaced());
}

TEST(Ship, NullReturnsADestroyedPlacedShipToFresh) {
    Battleship b;
    b.coord(Coord(1, 2));
    b.direction(true);
    b.place(true);
    for (int i = 0; i < 4; ++i) b.hit();
    b.null();
    EXPECT_FALSE(b.isDestroyed());
    EXPECT_FALSE(b.isPlaced());
    EXPECT_FALSE(b.getDirection());
    EXPECT_TRUE(b.getCoord().isNull());
    EXPECT_EQ(b.getHitted(), 0);
}
