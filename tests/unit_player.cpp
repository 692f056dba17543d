// Players and the human player: receiving the fleet, the fleet queries and
// summary, shooting at a chosen cell, random numbers and random placement.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>
#include <vector>

#include "human.h"
#include "ship.h"
#include "test_ships.h"

namespace {


const std::vector<int> defaultFleet{5, 5, 4, 4, 4, 3, 3, 3, 3, 2, 2, 2};

// A human with boards of w x h and a fleet copied from templates of sizes.
std::unique_ptr<Human> player(int w, int h, const std::vector<int>& sizes) {
    auto p = std::make_unique<Human>();
    p->addFields(Coord(w, h));
    std::vector<std::unique_ptr<Ship>> own;
    std::vector<Ship*> raw;
    for (int s : sizes) raw.push_back(own.emplace_back(makeShip(s)).get());
    p->addShips(raw.data(), static_cast<int>(raw.size()));
    return p;
}

// The random placement worked out by hand from seed: a ship fits where its
// cells are on the board and none is on or next to a cell already taken.
// Gives the starts and directions of the ships placed, and the draws made.
struct Placement {
    bool ok = true;
    std::vector<Coord> starts;
    std::vector<bool> vertical;
    int draws = 0;
};

Placement workedOut(int w, int h, const std::vector<int>& sizes, unsigned seed) {
    Placement out;
    std::vector<std::vector<bool>> taken(h, std::vector<bool>(w, false));
    auto fits = [&](int size, int x, int y, bool v) {
        for (int k = 0; k < size; ++k) {
            const int cx = v ? x : x + k, cy = v ? y + k : y;
            if (cx >= w || cy >= h) return false;
            for (int d = 0; d < 9; ++d) {
                const int nx = cx + d % 3 - 1, ny = cy + d / 3 - 1;
                if (nx >= 0 && nx < w && ny >= 0 && ny < h && taken[ny][nx]) return false;
            }
        }
        return true;
    };
    std::srand(seed);
    auto draw = [&](int from, int to) {
        ++out.draws;
        return static_cast<int>(((to + 1) - from) * (std::rand() / 2147483648.0) + from);
    };
    for (int size : sizes) {
        std::vector<Coord> hor, ver;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (fits(size, x, y, false)) hor.emplace_back(x, y);
                if (fits(size, x, y, true)) ver.emplace_back(x, y);
            }
        if (hor.empty() && ver.empty()) {
            out.ok = false;
            return out;
        }
        const bool v = !hor.empty() && !ver.empty() ? draw(0, 1) == 0 : hor.empty();
        const std::vector<Coord>& list = v ? ver : hor;
        const Coord at = list[draw(0, static_cast<int>(list.size()) - 1)];
        for (int k = 0; k < size; ++k) taken[v ? at.y + k : at.y][v ? at.x : at.x + k] = true;
        out.starts.push_back(at);
        out.vertical.push_back(v);
    }
    return out;
}

// loadShips from seed against the worked-out placement: the same ships in the
// same places and nothing else on the board, the rest unplaced, and exactly
// as many rand() draws (the next rand() is the one after them).
void expectWorkedOutPlacement(Human& p, const std::vector<int>& sizes, unsigned seed) {
    const int w = p.myField->w, h = p.myField->h;
    const Placement want = workedOut(w, h, sizes, seed);
    std::srand(seed);
    for (int i = 0; i < want.draws; ++i) std::rand();
    const int afterDraws = std::rand();
    std::srand(seed);
    ASSERT_EQ(p.loadShips(), want.ok) << w << "x" << h << " seed " << seed;
    EXPECT_EQ(std::rand(), afterDraws) << "draws, seed " << seed;
    std::vector<const Ship*> expected(w * h, nullptr);
    for (int i = 0; i < p.getShipsCount(); ++i) {
        Ship* s = p.getShips()[i];
        const bool placed = i < static_cast<int>(want.starts.size());
        ASSERT_EQ(s->isPlaced(), placed) << "ship " << i << " seed " << seed;
        if (!placed) continue;
        EXPECT_EQ(s->getCoord(), want.starts[i]) << "ship " << i << " seed " << seed;
        EXPECT_EQ(s->getDirection(), want.vertical[i]);
        for (int k = 0; k < s->getSize(); ++k)
            expected[s->getDirection() ? (s->getCoord().y + k) * w + s->getCoord().x
                                       : s->getCoord().y * w + s->getCoord().x + k] = s;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) EXPECT_EQ(p.myField->getShip(x, y), expected[y * w + x]) << x << "x" << y;
    EXPECT_EQ(p.isReady(), want.ok);
}

}  // namespace

TEST(Fleet, FirstAddShipsClonesTheTemplatesLaterOnesOnlyReset) {
    Ship* templates[] = {new Battleship, new Destroyer};
    templates[1]->hit();
    Human p;
    p.addFields(Coord(8, 8));
    p.addShips(templates, 2);
    ASSERT_EQ(p.getShipsCount(), 2);
    Ship* first = p.getShips()[0];
    EXPECT_NE(first, templates[0]);
    EXPECT_EQ(typeid(*first), typeid(Battleship));
    EXPECT_EQ(p.getShips()[1]->getHitted(), 1);
    first->hit();
    EXPECT_EQ(templates[0]->getHitted(), 0);
    for (Ship* t : templates) delete t;

    ASSERT_TRUE(p.setShip(first, Coord(0, 0), true));
    Ship* others[] = {new Aircraft, new Aircraft, new Aircraft};
    p.addShips(others, 3);
    for (Ship* t : others) delete t;
    ASSERT_EQ(p.getShipsCount(), 2);
    EXPECT_EQ(p.getShips()[0], first);
    EXPECT_EQ(typeid(*p.getShips()[1]), typeid(Destroyer));
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(p.getShips()[i]->isPlaced());
        EXPECT_EQ(p.getShips()[i]->getHitted(), 0);
        EXPECT_TRUE(p.getShips()[i]->getCoord().isNull());
        EXPECT_FALSE(p.getShips()[i]->getDirection());
    }
}

TEST(Fleet, EmptyFleetIsReadyAndLostWithNothingToName) {
    auto p = player(3, 3, {});
    EXPECT_EQ(p->getShipsCount(), 0);
    EXPECT_TRUE(p->isReady());
    EXPECT_TRUE(p->isLose());
    EXPECT_EQ(p->getShipToPlace(), nullptr);
    EXPECT_EQ(p->getNotDestroyedShipBiggest(), nullptr);
    EXPECT_EQ(p->getNotDestroyedShipSmallest(), nullptr);
    EXPECT_EQ(p->getShipsCount(0), "");
    EXPECT_EQ(p->getShipsCount(1), "");
}

TEST(Fleet, QueriesFollowFleetOrder) {
    auto p = player(10, 10, {5, 4, 2, 2});
    Ship** s = p->getShips();
    EXPECT_EQ(p->getShipToPlace(), s[0]);
    ASSERT_TRUE(p->setShip(s[0], Coord(0, 0), false));
    ASSERT_TRUE(p->setShip(s[2], Coord(0, 2), false));
    EXPECT_EQ(p->getShipToPlace(), s[1]);
    ASSERT_TRUE(p->setShip(s[1], Coord(0, 4), false));
    EXPECT_EQ(p->getShipToPlace(), s[3]);
    EXPECT_FALSE(p->isReady());
    ASSERT_TRUE(p->setShip(s[3], Coord(0, 6), false));
    EXPECT_EQ(p->getShipToPlace(), nullptr);
    EXPECT_TRUE(p->isReady());

    EXPECT_EQ(p->getNotDestroyedShipBiggest(), s[0]);
    EXPECT_EQ(p->getNotDestroyedShipSmallest(), s[3]);
    auto sink = [](Ship* ship) {
        while (!ship->isDestroyed()) ship->hit();
    };
    sink(s[0]);
    sink(s[3]);
    EXPECT_EQ(p->getNotDestroyedShipBiggest(), s[1]);
    EXPECT_EQ(p->getNotDestroyedShipSmallest(), s[2]);
    sink(s[1]);
    EXPECT_FALSE(p->isLose());
    sink(s[2]);
    EXPECT_TRUE(p->isLose());
    EXPECT_EQ(p->getNotDestroyedShipBiggest(), nullptr);
    EXPECT_EQ(p->getNotDestroyedShipSmallest(), nullptr);
}

TEST(FleetSummary, CountsUnplacedOrAfloatShipsPerRunOfOneName) {
    auto p = player(14, 14, defaultFleet);
    EXPECT_EQ(p->getShipsCount(0), "2x aircraft carrier, 3x battleship, 4x submarine, 3x destroyer");
    EXPECT_EQ(p->getShipsCount(1), "2x aircraft carrier, 3x battleship, 4x submarine, 3x destroyer");
    EXPECT_EQ(p->getShipsCount(7), "0x aircraft carrier, 0x battleship, 0x submarine, 0x destroyer");
    Ship** s = p->getShips();
    ASSERT_TRUE(p->setShip(s[0], Coord(0, 0), false));
    ASSERT_TRUE(p->setShip(s[1], Coord(0, 2), false));
    ASSERT_TRUE(p->setShip(s[2], Coord(0, 4), false));
    EXPECT_EQ(p->getShipsCount(0), "0x aircraft carrier, 2x battleship, 4x submarine, 3x destroyer");
    for (int i = 0; i < 3; ++i) s[5]->hit();
    for (int i = 0; i < 2; ++i) s[11]->hit();
    EXPECT_EQ(p->getShipsCount(1), "2x aircraft carrier, 3x battleship, 3x submarine, 2x destroyer");

    EXPECT_EQ(player(5, 5, {2})->getShipsCount(0), "1x destroyer");
    EXPECT_EQ(player(5, 5, {5, 4, 5})->getShipsCount(0), "1x aircraft carrier, 1x battleship, 1x aircraft carrier");
    EXPECT_EQ(player(5, 5, {5, 2, 2})->getShipsCount(1), "1x aircraft carrier, 2x destroyer");
}

TEST(PlayAtCell, RecordsTheShotAndTheSunkShipOnTheRecord) {
    auto a = player(5, 5, {2});
    auto b = player(5, 5, {2});
    Ship* target = b->getShips()[0];
    ASSERT_TRUE(b->setShip(target, Coord(1, 1), true));
    Coord miss(4, 4), first(1, 1), second(1, 2);
    EXPECT_TRUE(a->play(miss, b.get()));
    EXPECT_EQ(a->enemyField->get(miss), 1);
    EXPECT_EQ(b->myField->get(miss), 1);
    EXPECT_TRUE(a->play(first, b.get()));
    EXPECT_EQ(a->enemyField->getShip(first), nullptr);
    EXPECT_TRUE(a->play(second, b.get()));
    EXPECT_EQ(a->enemyField->get(second), 2);
    Ship* copy = a->enemyField->getShip(first);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, target);
    EXPECT_TRUE(b->isLose());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(a->myField->get(x, y), 0);
}

TEST(PlayAtCell, RefusesCellsShotBeforeAndCellsOffTheBoard) {
    auto a = player(4, 3, {2});
    auto b = player(4, 3, {2});
    ASSERT_TRUE(b->setShip(b->getShips()[0], Coord(0, 0), false));
    Coord hit(0, 0), miss(3, 2);
    ASSERT_TRUE(a->play(hit, b.get()));
    ASSERT_TRUE(a->play(miss, b.get()));
    for (Coord c : {hit, miss, Coord(), Coord(4, 0), Coord(0, 3), Coord(-1, 1)}) {
        EXPECT_FALSE(a->play(c, b.get())) << c;
        EXPECT_EQ(b->getShips()[0]->getHitted(), 1);
        int shots = 0;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                shots += b->myField->get(x, y) != 0;
                EXPECT_EQ(a->enemyField->get(x, y), b->myField->get(x, y));
            }
        EXPECT_EQ(shots, 2);
    }
}

TEST(HumanPlayer, NeverMovesByItselfScoresNothingAndClonesBare) {
    auto a = player(3, 3, {2});
    auto b = player(3, 3, {2});
    EXPECT_FALSE(a->play(b.get()));
    Coord c(1, 1);
    Destroyer d;
    EXPECT_EQ(a->testSituation(&d, c), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(b->myField->get(x, y) + a->enemyField->get(x, y), 0);

    std::unique_ptr<Player> copy(Human().clone());
    EXPECT_EQ(typeid(*copy), typeid(Human));
    EXPECT_EQ(copy->myField, nullptr);
    EXPECT_EQ(copy->getShipsCount(), 0);
}

TEST(Random, OneDrawScaledFromTheTopOfRand) {
    Human p;
    for (unsigned seed : {1u, 2u, 77u}) {
        std::srand(seed);
        std::vector<double> raw;
        for (int i = 0; i < 200; ++i) raw.push_back(std::rand() / 2147483648.0);
        std::srand(seed);
        for (int i = 0; i < 200; i += 5) {
            EXPECT_EQ(p.random(0, 1), raw[i] >= 0.5 ? 1 : 0);
            EXPECT_EQ(p.random(0, 0), 0);
            EXPECT_EQ(p.random(0, 9), static_cast<int>(10 * raw[i + 2]));
            EXPECT_EQ(p.random(3, 7), static_cast<int>(5 * raw[i + 3]) + 3);
            // Truncation is toward zero, also below it.
            EXPECT_EQ(p.random(-3, -1), static_cast<int>(3 * raw[i + 4] - 3));
        }
    }
    std::srand(5);
    bool top = false;
    for (int i = 0; i < 2000; ++i) {
        const int r = p.random(0, 4);
        ASSERT_TRUE(r >= 0 && r <= 4) << r;
        top = top || r == 4;
    }
    EXPECT_TRUE(top);
}

TEST(LoadShips, AShipThatFitsOneWayTakesOneDraw) {
    for (unsigned seed : {1u, 9u, 1234u}) {
        auto tall = player(1, 3, {3});
        expectWorkedOutPlacement(*tall, {3}, seed);
        EXPECT_TRUE(tall->getShips()[0]->getDirection());
        EXPECT_EQ(tall->getShips()[0]->getCoord(), Coord(0, 0));
        auto wide = player(3, 1, {3});
        expectWorkedOutPlacement(*wide, {3}, seed);
        EXPECT_FALSE(wide->getShips()[0]->getDirection());
    }
}

// Whole fleets on square, oblong and too small boards, seeds 1..8 each; on
// 2 x 2 a destroyer has two places each way, so both draws decide.
TEST(LoadShips, PlacesFleetsExactlyAsWorkedOutFromTheSeed) {
    struct Case {
        int w, h;
        std::vector<int> sizes;
    };
    const Case cases[] = {{14, 14, defaultFleet},  {9, 9, defaultFleet}, {5, 5, defaultFleet}, {2, 2, {2}},
                          {12, 3, {5, 4, 2, 2}}, {3, 11, {4, 3, 3, 2}}, {1, 1, {2}},         {6, 6, {5, 5, 5}}};
    for (const Case& c : cases)
        for (unsigned seed = 1; seed <= 8; ++seed) expectWorkedOutPlacement(*player(c.w, c.h, c.sizes), c.sizes, seed);
}

TEST(LoadShips, AFailureLeavesEarlierShipsPlacedAndTheNextCallStartsAfresh) {
    // Two carriers on 5 x 1: the first takes the only place, the second fails.
    auto p = player(5, 1, {5, 5});
    EXPECT_FALSE(p->loadShips());
    EXPECT_TRUE(p->getShips()[0]->isPlaced());
    EXPECT_EQ(p->getShipToPlace(), p->getShips()[1]);
    EXPECT_FALSE(p->isReady());
    EXPECT_EQ(p->myField->getShip(4, 0), p->getShips()[0]);

    // Two carriers and a destroyer on 9 x 3: the second carrier fits only
    // when the first kept off the middle row, so some seeds fail; each call
    // on the same player starts again from an empty board.
    auto q = player(9, 3, {5, 5, 2});
    for (unsigned seed = 1; seed <= 8; ++seed) expectWorkedOutPlacement(*q, {5, 5, 2}, seed);
}

TEST(LoadShips, ResetsAFleetPlacedByHandFirst) {
    auto p = player(6, 6, {4, 2});
    Ship** s = p->getShips();
    ASSERT_TRUE(p->setShip(s[0], Coord(0, 5), false));
    ASSERT_TRUE(p->setShip(s[1], Coord(5, 0), true));
    s[1]->hit();
    Coord shot(3, 3);
    Ship* none = nullptr;
    p->myField->hit(shot, none);
    expectWorkedOutPlacement(*p, {4, 2}, 3);
    EXPECT_EQ(s[1]->getHitted(), 0);
    EXPECT_EQ(p->myField->get(shot), 0);
}
