// Shots and records: hit on the own board, fire on the record board, the
// copies of sunk ships that a record owns and null() frees, and the neutral
// answers for cells outside the board.
#include <gtest/gtest.h>

#include <typeinfo>

#include "field.h"
#include "ship.h"
#include "test_ships.h"

namespace {


// Sets a destroyer horizontally at start on its own board and sinks it.
void sink(Field& own, Ship& ship, Coord start) {
    ASSERT_TRUE(own.setShip(&ship, start, false));
    Ship* sunk = nullptr;
    Coord a = start, b(start.x + 1, start.y);
    own.hit(a, sunk);
    own.hit(b, sunk);
    ASSERT_EQ(sunk, &ship);
}

}  // namespace

TEST(FieldRange, CellsOutsideGetNeutralAnswersAndChangeNothing) {
    Field f(Coord(4, 3));
    Destroyer d;
    ASSERT_TRUE(f.setShip(&d, Coord(0, 0), false));
    for (Coord c : {Coord(-1, 0), Coord(4, 0), Coord(0, -1), Coord(0, 3), Coord(), Coord(100, 100)}) {
        EXPECT_TRUE(f.isOutOfRange(c.x, c.y)) << c;
        EXPECT_EQ(f.get(c.x, c.y), 0) << c;
        EXPECT_EQ(f.getShip(c), nullptr);
        EXPECT_EQ(f.isHit(c.x, c.y), 1);
        EXPECT_EQ(f.isHit(c), 1);
        EXPECT_FALSE(f.set(c, 2));
        Ship* sunk = &d;
        EXPECT_EQ(f.hit(c, sunk), 1);
        EXPECT_EQ(sunk, nullptr);
    }
    EXPECT_FALSE(f.isOutOfRange(3, 2));
    EXPECT_EQ(d.getHitted(), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(f.get(x, y), 0);

    // Inside, isHit gives states of 1 or more and 0 for the rest.
    Coord a(1, 1), b(2, 1);
    f.set(a, 7);
    f.set(b, -3);
    EXPECT_EQ(f.isHit(a), 7);
    EXPECT_EQ(f.isHit(b), 0);
    EXPECT_EQ(f.get(b), -3);
}

TEST(Hit, SendShipOnlyOnTheSinkingShotAndRepeatsChangeNothing) {
    Field f(Coord(4, 4));
    Destroyer d;
    ASSERT_TRUE(f.setShip(&d, Coord(0, 0), false));
    Coord miss(3, 3), first(0, 0), second(1, 0);
    Ship* sunk = &d;  // must be overwritten every time
    EXPECT_EQ(f.hit(miss, sunk), 1);
    EXPECT_EQ(f.get(miss), 1);
    EXPECT_EQ(f.hit(miss, sunk), 1);
    EXPECT_EQ(f.get(miss), 1);

    EXPECT_EQ(f.hit(first, sunk), 2);
    EXPECT_EQ(sunk, nullptr);
    EXPECT_EQ(f.get(first), 2);
    EXPECT_EQ(f.hit(first, sunk), 2);
    EXPECT_EQ(d.getHitted(), 1);

    EXPECT_EQ(f.hit(second, sunk), 2);
    EXPECT_EQ(sunk, &d);
    EXPECT_TRUE(d.isDestroyed());
    EXPECT_EQ(f.hit(second, sunk), 2);
    EXPECT_EQ(sunk, nullptr);
    EXPECT_EQ(d.getHitted(), 2);
}

TEST(Fire, RecordsTheStateAndAnIndependentDestroyedCopy) {
    Field own(Coord(6, 6)), record(Coord(6, 6));
    Destroyer d;
    sink(own, d, Coord(2, 3));
    Coord shot(3, 3), miss(0, 0);
    Ship* none = nullptr;
    record.fire(miss, 1, none);
    EXPECT_EQ(record.get(miss), 1);
    EXPECT_EQ(record.getShip(miss), nullptr);

    Ship* sunk = &d;
    record.fire(shot, 2, sunk);
    EXPECT_EQ(record.get(shot), 2);
    EXPECT_EQ(record.get(2, 3), 0);  // only the fired cell gets a state
    Ship* copy = record.getShip(2, 3);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, &d);
    EXPECT_EQ(record.getShip(shot), copy);
    EXPECT_EQ(typeid(*copy), typeid(Destroyer));
    EXPECT_TRUE(copy->isDestroyed());
    EXPECT_EQ(copy->getCoord(), Coord(2, 3));
    EXPECT_FALSE(copy->getDirection());
    EXPECT_EQ(d.getHitted(), 2);  // the opponent's ship is left alone
    EXPECT_EQ(own.getShip(2, 3), &d);

    // Nothing can lie on or next to the sunk ship any more.
    for (int y = 2; y <= 4; ++y)
        for (int x = 1; x <= 4; ++x) EXPECT_FALSE(record.isTargetable(Coord(x, y))) << Coord(x, y);
    EXPECT_TRUE(record.isTargetable(Coord(5, 3)));
    EXPECT_TRUE(record.isTargetable(Coord(2, 5)));

    // Outside the board no state is written, but the copy is still set.
    Field other(Coord(6, 6));
    Coord outside(-1, 7);
    other.fire(outside, 2, sunk);
    EXPECT_NE(other.getShip(3, 3), nullptr);
    EXPECT_EQ(other.get(3, 3), 0);
}

TEST(FireOwnership, CopiesAreFreedByNullAndByTheDestructorAndNothingElse) {
    CountedDestroyer::live = 0;
    {
        CountedDestroyer first, second;
        Field own(Coord(8, 8));
        sink(own, first, Coord(0, 0));
        sink(own, second, Coord(4, 4));
        Destroyer shown;
        {
            Field record(Coord(8, 8));
            Coord c(1, 0), e(5, 4);
            Ship* sunk = &first;
            Ship* sunk2 = &second;
            record.fire(c, 2, sunk);
            EXPECT_EQ(CountedDestroyer::live, 3);
            record.null();
            EXPECT_EQ(CountedDestroyer::live, 2);
            EXPECT_EQ(record.getShip(0, 0), nullptr);
            EXPECT_EQ(record.get(c), 0);
            EXPECT_EQ(Coord(record.w, record.h), Coord(8, 8));  // the size stays

            record.fire(c, 2, sunk);
            record.fire(e, 2, sunk2);
            EXPECT_EQ(CountedDestroyer::live, 4);
            // A ship set by a caller is not the record's to free.
            ASSERT_TRUE(record.setShip(&shown, Coord(0, 7), false));
        }
        EXPECT_EQ(CountedDestroyer::live, 2);
        EXPECT_EQ(shown.getSize(), 2);
    }
    EXPECT_EQ(CountedDestroyer::live, 0);
}

TEST(FireOwnership, ACopyThatCannotBeSetIsDiscardedAtOnce) {
    CountedDestroyer::live = 0;
    {
        CountedDestroyer d;
        Destroyer inTheWay;
        Field own(Coord(6, 6)), record(Coord(6, 6));
        sink(own, d, Coord(2, 2));
        ASSERT_TRUE(record.setShip(&inTheWay, Coord(2, 3), false));
        Coord c(2, 2);
        Ship* sunk = &d;
        record.fire(c, 2, sunk);
        EXPECT_EQ(CountedDestroyer::live, 1);
        EXPECT_EQ(record.get(c), 2);  // the shot's state stays recorded
        EXPECT_EQ(record.getShip(c), nullptr);
    }
    EXPECT_EQ(CountedDestroyer::live, 0);
}
