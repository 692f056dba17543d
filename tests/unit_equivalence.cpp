// The computer's fast scoring and the fast random placement must decide
// exactly as the plain full-scan versions in literal_computer.h do.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "computer.h"
#include "field.h"
#include "human.h"
#include "literal_computer.h"
#include "ship.h"
#include "test_ships.h"

namespace {


// Writes the same random record onto every board given: sunk ships' copies
// set under the spacing rule, then misses and hits on free cells.
void scribble(std::vector<Field*> boards, unsigned seed, std::vector<std::unique_ptr<Ship>>& keep) {
    std::mt19937 rng(seed);
    const int w = boards[0]->w, h = boards[0]->h;
    const int sunk = static_cast<int>(rng() % 6);
    for (int i = 0; i < sunk; ++i) {
        Ship* ship = makeShip(2 + static_cast<int>(rng() % 4));
        keep.emplace_back(ship);
        const Coord at(static_cast<int>(rng() % w), static_cast<int>(rng() % h));
        const bool vertical = rng() % 2;
        for (Field* f : boards) f->setShip(ship, at, vertical);
    }
    const int density = static_cast<int>(rng() % 60);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int roll = static_cast<int>(rng() % 100);
            Coord c(x, y);
            if (roll < density) {
                const int state = roll % 3 == 0 ? 2 : 1;
                for (Field* f : boards) f->set(c, state);
            }
        }
}

struct BoardSize {
    int w, h;
};

const BoardSize sizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 7}, {6, 1}, {5, 5}, {7, 7}, {14, 14}, {13, 4}, {3, 17}};

}  // namespace

// Every cell's score, and every cell's targeting answer, for every ship length
// on many random records, including 1-wide and oblong boards.
TEST(FastScoring, MatchesFullScanOnRandomRecords) {
    // Records where no ship may lie anywhere would agree on nothing at all.
    int targetable = 0;
    for (const BoardSize& size : sizes) {
        for (unsigned seed = 1; seed <= 12; ++seed) {
            Computer fast(true);
            LiteralComputer slow(true);
            fast.addFields(Coord(size.w, size.h));
            slow.addFields(Coord(size.w, size.h));
            std::vector<std::unique_ptr<Ship>> keep;
            scribble({fast.enemyField, slow.enemyField}, seed * 7919 + size.w * 31 + size.h, keep);
            for (int length = 1; length <= 5; ++length) {
                std::unique_ptr<Ship> ship(makeShip(length));
                TargetMap map;
                fast.enemyField->targetMap(length, map);
                for (int y = -1; y <= size.h; ++y)
                    for (int x = -1; x <= size.w; ++x) {
                        Coord c(x, y);
                        ASSERT_EQ(fast.testSituation(ship.get(), c), slow.testSituation(ship.get(), c))
                            << "length " << length << " at " << c << " on " << size.w << "x" << size.h
                            << " seed " << seed;
                        if (!fast.enemyField->isOutOfRange(x, y)) {
                            ASSERT_EQ(map.targetable[y * size.w + x] != 0,
                                      slow.enemyField->isShipTargetable(ship.get(), c))
                                << "length " << length << " at " << c;
                            if (map.targetable[y * size.w + x] != 0) ++targetable;
                        }
                    }
            }
        }
    }
    EXPECT_GT(targetable, 1000);
}

// Scoring never changes the record, even for a cell already hit.
TEST(FastScoring, LeavesTheRecordUntouched) {
    Computer fast(true);
    fast.addFields(Coord(8, 8));
    std::vector<std::unique_ptr<Ship>> keep;
    scribble({fast.enemyField}, 99, keep);
    std::vector<int> before;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) before.push_back(fast.enemyField->get(x, y));
    Aircraft carrier;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            Coord c(x, y);
            fast.testSituation(&carrier, c);
        }
    std::vector<int> after;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) after.push_back(fast.enemyField->get(x, y));
    EXPECT_EQ(before, after);
}

namespace {

struct Fleet {
    int carriers, battleships, submarines, destroyers;
};

// One whole game of a computer against a fleet placed at random, from one
// seed: the cells it fires at, in order, to the last ship sunk.
template <class Shooter>
std::vector<Coord> shots(Shooter& computer, const BoardSize& size, const Fleet& fleet, unsigned seed) {
    FleetTemplates templates(fleet.carriers, fleet.battleships, fleet.submarines, fleet.destroyers);

    Human target;
    target.addFields(Coord(size.w, size.h));
    target.addShips(templates.ships.data(), templates.count());
    computer.addFields(Coord(size.w, size.h));
    srand(seed);
    std::vector<Coord> fired;
    if (!target.loadShips()) {
        ADD_FAILURE() << "the fleet found no place on " << size.w << "x" << size.h << ", seed " << seed;
        return fired;
    }
    const int limit = size.w * size.h;
    while (!target.isLose() && static_cast<int>(fired.size()) <= limit) {
        if (!computer.play(&target)) break;
        // The newest shot is the one cell whose state was 0 before.
        for (int y = 0; y < size.h; ++y)
            for (int x = 0; x < size.w; ++x)
                if (computer.enemyField->get(x, y) != 0 &&
                    std::find(fired.begin(), fired.end(), Coord(x, y)) == fired.end())
                    fired.emplace_back(x, y);
    }
    EXPECT_TRUE(target.isLose()) << "the game ended before the fleet sank: " << size.w << "x" << size.h
                                 << ", seed " << seed << ", " << fired.size() << " shots";
    return fired;
}

}  // namespace

// Whole games from the same seed: both versions fire at the same cells in
// the same order, so the hunting, following, filtering and drawing agree.
TEST(FastScoring, WholeGamesFireAtTheSameCells) {
    const BoardSize boards[] = {{10, 10}, {9, 9}, {12, 6}, {1, 40}, {40, 2}};
    const Fleet fleets[] = {{1, 1, 1, 1}, {0, 2, 2, 3}, {0, 0, 2, 3}, {0, 0, 0, 4}};
    for (const BoardSize& size : boards)
        for (const Fleet& fleet : fleets)
            for (unsigned seed = 1; seed <= 2; ++seed)
                for (bool hard : {true, false}) {
                    Computer fast(hard);
                    LiteralComputer slow(hard);
                    const std::vector<Coord> a = shots(fast, size, fleet, seed);
                    const std::vector<Coord> b = shots(slow, size, fleet, seed);
                    ASSERT_EQ(a, b) << size.w << "x" << size.h << " seed " << seed << (hard ? " Hard" : " Easy");
                }
}

// The placement finds the same places in the same order, so a seed places a
// fleet the same way, and fails the same way, as the plain scan.
TEST(FastPlacement, SameFleetFromTheSameSeed) {
    const BoardSize boards[] = {{14, 14}, {6, 6}, {1, 12}, {9, 3}, {4, 4}};
    for (const BoardSize& size : boards)
        for (unsigned seed = 1; seed <= 20; ++seed) {
            Aircraft a;
            Battleship b;
            Submarine s1, s2;
            Destroyer d1, d2, d3;
            Ship* fleet[] = {&a, &b, &s1, &s2, &d1, &d2, &d3};
            Human fast, slow;
            fast.addFields(Coord(size.w, size.h));
            slow.addFields(Coord(size.w, size.h));
            fast.addShips(fleet, 7);
            slow.addShips(fleet, 7);
            srand(seed);
            const bool fastOk = fast.loadShips();
            const int nextFast = rand();
            srand(seed);
            const bool slowOk = literalLoadShips(slow);
            const int nextSlow = rand();
            ASSERT_EQ(fastOk, slowOk) << size.w << "x" << size.h << " seed " << seed;
            EXPECT_EQ(nextFast, nextSlow) << "a different number of draws";
            for (int i = 0; i < 7; ++i) {
                EXPECT_EQ(fast.getShips()[i]->isPlaced(), slow.getShips()[i]->isPlaced());
                EXPECT_EQ(fast.getShips()[i]->getCoord(), slow.getShips()[i]->getCoord());
                EXPECT_EQ(fast.getShips()[i]->getDirection(), slow.getShips()[i]->getDirection());
            }
        }
}
