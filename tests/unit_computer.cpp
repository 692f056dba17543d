// The computer opponent: cell scores, hunting and following candidates, the
// Hard filter, the memory of a pending hit, and its one console line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <typeinfo>
#include <vector>

#include "computer.h"
#include "human.h"
#include "ship.h"
#include "test_ships.h"

namespace {

using Cells = std::vector<Coord>;


std::unique_ptr<Computer> computer(bool hard, int w, int h) {
    testing::internal::CaptureStdout();
    auto c = std::make_unique<Computer>(hard);
    testing::internal::GetCapturedStdout();
    c->addFields(Coord(w, h));
    return c;
}

// An opponent on w x h whose fleet, in fleet order, stands as given.
struct Placed {
    int size;
    Coord at;
    bool vertical;
};
std::unique_ptr<Human> opponent(int w, int h, const std::vector<Placed>& fleet) {
    auto p = std::make_unique<Human>();
    p->addFields(Coord(w, h));
    std::vector<std::unique_ptr<Ship>> own;
    std::vector<Ship*> raw;
    for (const Placed& s : fleet) raw.push_back(own.emplace_back(makeShip(s.size)).get());
    p->addShips(raw.data(), static_cast<int>(raw.size()));
    for (size_t i = 0; i < fleet.size(); ++i)
        EXPECT_TRUE(p->setShip(p->getShips()[i], fleet[i].at, fleet[i].vertical));
    return p;
}

void mark(Field* f, int x, int y, int state) {
    Coord c(x, y);
    ASSERT_TRUE(f->set(c, state));
}

Cells allCells(int w, int h) {
    Cells all;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) all.emplace_back(x, y);
    return all;
}

std::vector<int> states(const Field* f) {
    std::vector<int> all;
    for (const Coord& c : allCells(f->w, f->h)) all.push_back(f->get(c));
    return all;
}

// The score the long way: mark pos a miss, count, restore.
int scoreByHand(Field* f, Ship* ship, Coord pos) {
    const int was = f->get(pos);
    f->set(pos, 1);
    int n = 0;
    for (const Coord& c : allCells(f->w, f->h)) n += f->isShipTargetable(ship, c);
    f->set(pos, was);
    return n;
}

// Makes the computer's next play() fire at target, which must be one of its
// candidates, by seeding rand() so that the draw picks it.
void shootAt(Computer& c, Player& opp, Coord target) {
    const Cells cands = c.candidates(&opp);
    const auto it = std::find(cands.begin(), cands.end(), target);
    ASSERT_NE(it, cands.end()) << target << " is no candidate";
    const int n = static_cast<int>(cands.size()), index = static_cast<int>(it - cands.begin());
    unsigned seed = 1;
    for (;; ++seed) {
        std::srand(seed);
        if (static_cast<int>(n * (std::rand() / 2147483648.0)) == index) break;
    }
    std::srand(seed);
    ASSERT_TRUE(c.play(&opp));
    ASSERT_NE(opp.myField->get(target), 0);
    ASSERT_EQ(c.enemyField->get(target), opp.myField->get(target));
}

}  // namespace

TEST(ComputerConsole, ConstructorPrintsTheLevelOnceCopiesAndNullKeepIt) {
    testing::internal::CaptureStdout();
    Computer hard(true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Computer difficulty is set to: Hard\n");
    testing::internal::CaptureStdout();
    Computer easy(false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Computer difficulty is set to: Easy\n");
    hard.null();
    testing::internal::CaptureStdout();
    std::unique_ptr<Player> a(hard.clone()), b(easy.clone());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(typeid(*a), typeid(Computer));
    EXPECT_TRUE(static_cast<Computer*>(a.get())->getIsHard());
    EXPECT_FALSE(static_cast<Computer*>(b.get())->getIsHard());
    EXPECT_TRUE(hard.getLastHit().isNull());
    EXPECT_EQ(hard.getLastHitDirection(), 0);
}

TEST(ComputerScore, SixByOneBoardWithADestroyerAfloat) {
    auto c = computer(true, 6, 1);
    auto opp = opponent(6, 1, {{2, Coord(0, 0), false}});
    Destroyer d;
    const int expected[] = {5, 4, 5, 5, 4, 5};
    for (int x = 0; x < 6; ++x) {
        Coord pos(x, 0);
        EXPECT_EQ(c->testSituation(&d, pos), expected[x]) << pos;
    }
    EXPECT_EQ(c->candidates(opp.get()), (Cells{Coord(1, 0), Coord(4, 0)}));
    EXPECT_EQ(computer(false, 6, 1)->candidates(opp.get()), allCells(6, 1));
    // The shot itself goes to one of the two, whatever the draw.
    for (unsigned seed = 1; seed <= 6; ++seed) {
        auto fresh = computer(true, 6, 1);
        auto target = opponent(6, 1, {{2, Coord(3, 0), false}});
        std::srand(seed);
        ASSERT_TRUE(fresh->play(target.get()));
        EXPECT_EQ(states(fresh->enemyField), states(target->myField));
        EXPECT_NE(target->myField->get(1, 0) + target->myField->get(4, 0), 0) << "seed " << seed;
    }
}

TEST(ComputerScore, UntouchedFourteenSquareScoresAlike) {
    auto c = computer(true, 14, 14);
    auto opp = opponent(14, 14, {{5, Coord(0, 0), false}, {2, Coord(0, 2), false}});
    Aircraft a;
    for (Coord pos : allCells(14, 14)) ASSERT_EQ(c->testSituation(&a, pos), 195) << pos;
    EXPECT_EQ(c->candidates(opp.get()).size(), 196u);
}

// On a record with misses, hits and sunk copies (seed 4 of a private
// generator), every cell scores as counted by hand, also a cell already hit,
// and the record is left exactly as it was.
TEST(ComputerScore, CountsAsIfAMissAndLeavesTheRecordAsItWas) {
    auto c = computer(true, 7, 5);
    Field* f = c->enemyField;
    std::mt19937 gen(4);
    Destroyer sunk[3];
    for (Destroyer& s : sunk) {
        f->setShip(&s, Coord(gen() % 7, gen() % 5), gen() % 2);
        for (int i = 0; i < 4; ++i) mark(f, gen() % 7, gen() % 5, 1 + gen() % 2);
    }
    for (int size = 2; size <= 5; ++size) {
        std::unique_ptr<Ship> ship(makeShip(size));
        for (Coord pos : allCells(7, 5)) {
            const std::vector<int> before = states(f);
            const int score = c->testSituation(ship.get(), pos);
            ASSERT_EQ(states(f), before);
            EXPECT_EQ(score, scoreByHand(f, ship.get(), pos)) << size << " at " << pos << " state " << f->get(pos);
        }
    }
    Coord pos(0, 0);
    EXPECT_EQ(c->testSituation(nullptr, pos), 0);
}

// The score follows the record through every kind of change made to it
// between two calls, and through new boards.
TEST(ComputerScore, FollowsEveryChangeOfTheRecord) {
    auto c = computer(true, 6, 1);
    Destroyer d;
    Coord first(0, 0), second(1, 0), third(2, 0), sixth(5, 0);
    auto score = [&] { return c->testSituation(&d, first); };
    EXPECT_EQ(score(), 5);
    c->enemyField->set(third, 1);
    EXPECT_EQ(score(), 3) << "after set";
    Ship* none = nullptr;
    c->enemyField->hit(sixth, none);
    EXPECT_EQ(score(), 2) << "after hit";
    c->enemyField->null();
    EXPECT_EQ(score(), 5) << "after null";
    Boat sunk;
    c->enemyField->setShip(&sunk, Coord(4, 0), false);
    EXPECT_EQ(score(), 2) << "after setShip";
    c->enemyField->null();
    c->enemyField->fire(second, 1, none);
    EXPECT_EQ(score(), 4) << "after fire";
    c->addFields(Coord(6, 1));
    EXPECT_EQ(score(), 5) << "after addFields";
}

TEST(ComputerHunting, EasyOffersEveryCellOfAnOblongBoardOnceInRowOrder) {
    for (auto size : {Coord(5, 2), Coord(2, 5), Coord(1, 4)}) {
        auto opp = opponent(size.x, size.y, {{2, Coord(0, 0), true}});
        EXPECT_EQ(computer(false, size.x, size.y)->candidates(opp.get()), allCells(size.x, size.y));
    }
}

// Hard hunting keeps, in row order, the cells where the biggest ship afloat
// could lie that score lowest. Oblong records, seeds 1..6 of a private
// generator.
TEST(ComputerHunting, HardKeepsTheLowestScoringPlacesOfTheBiggestShip) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 gen(seed);
        const int w = seed % 2 ? 9 : 4, h = seed % 2 ? 4 : 9;
        auto c = computer(true, w, h);
        auto opp = opponent(w, h, {{4, Coord(0, 0), true}, {2, Coord(2, 0), true}});
        Field* f = c->enemyField;
        Destroyer sunk;
        f->setShip(&sunk, Coord(gen() % w, gen() % h), gen() % 2);
        for (int i = 0; i < 6; ++i) mark(f, gen() % w, gen() % h, 1 + gen() % 2);
        Battleship biggest;
        Cells expected;
        int min = -1;
        for (const Coord& cell : allCells(w, h)) {
            if (!f->isShipTargetable(&biggest, cell)) continue;
            const int score = scoreByHand(f, &biggest, cell);
            if (min == -1 || score < min) expected.clear();
            if (min == -1 || score <= min) {
                min = score;
                expected.push_back(cell);
            }
        }
        EXPECT_EQ(c->candidates(opp.get()), expected) << "seed " << seed;
    }
}

TEST(ComputerHunting, NeitherLevelAimsAtOrBesideASunkShip) {
    for (bool hard : {false, true}) {
        auto c = computer(hard, 8, 8);
        auto opp = opponent(8, 8, {{2, Coord(2, 2), false}, {2, Coord(6, 6), true}});
        Coord a(2, 2), b(3, 2);
        ASSERT_TRUE(c->play(a, opp.get()));
        ASSERT_TRUE(c->play(b, opp.get()));
        ASSERT_NE(c->enemyField->getShip(a), nullptr);
        const Cells cands = c->candidates(opp.get());
        EXPECT_TRUE(hard || cands.size() == 64u - 12u) << cands.size();
        for (const Coord& cell : cands) EXPECT_FALSE(cell.x >= 1 && cell.x <= 4 && cell.y >= 1 && cell.y <= 3) << cell;
        for (unsigned seed = 1; seed <= 5 && !opp->isLose(); ++seed) {
            std::srand(seed);
            const std::vector<int> before = states(c->enemyField);
            ASSERT_TRUE(c->play(opp.get()));
            const std::vector<int> after = states(c->enemyField);
            for (int y = 1; y <= 3; ++y)
                for (int x = 1; x <= 4; ++x) EXPECT_EQ(after[y * 8 + x], before[y * 8 + x]);
            c->null();
        }
    }
}

TEST(ComputerHunting, NoCandidateMeansNoShot) {
    // Hard: no ship afloat leaves nothing to aim at.
    auto hard = computer(true, 4, 4);
    auto sunkFleet = opponent(4, 4, {{2, Coord(0, 0), false}});
    sunkFleet->getShips()[0]->hit();
    sunkFleet->getShips()[0]->hit();
    EXPECT_FALSE(hard->play(sunkFleet.get()));
    // Easy: every cell shot already.
    auto easy = computer(false, 2, 2);
    auto opp = opponent(2, 2, {{2, Coord(0, 0), false}});
    for (const Coord& cell : allCells(2, 2)) mark(easy->enemyField, cell.x, cell.y, 1);
    EXPECT_FALSE(easy->play(opp.get()));
    EXPECT_EQ(states(opp->myField), std::vector<int>(4, 0));
}

// lastHit (3, 3) on a 7 x 7 record, misses at (2, 3) and (5, 3).
TEST(ComputerFollowing, DirectionZeroDependsOnTheSmallestShipAfloat) {
    for (bool hard : {false, true}) {
        auto c = computer(hard, 7, 7);
        auto withSub = opponent(7, 7, {{5, Coord(3, 1), true}, {3, Coord(0, 0), true}});
        auto withDestroyer = opponent(7, 7, {{5, Coord(3, 1), true}, {2, Coord(0, 0), true}});
        // At Hard, misses everywhere but column 3 make (3, 3) the one
        // lowest-scoring cell, so that the first hit lands there.
        for (const Coord& cell : allCells(7, 7))
            if (hard && cell.x != 3) mark(c->enemyField, cell.x, cell.y, 1);
        shootAt(*c, *withSub, Coord(3, 3));
        for (const Coord& cell : allCells(7, 7))
            if (cell.x != 3) mark(c->enemyField, cell.x, cell.y, 0);
        ASSERT_EQ(c->getLastHit(), Coord(3, 3));
        ASSERT_EQ(c->getLastHitDirection(), 0);
        mark(c->enemyField, 2, 3, 1);
        mark(c->enemyField, 5, 3, 1);

        // (4, 3) is unshot, but no 3-cell horizontal place over the hit is left.
        EXPECT_EQ(c->candidates(withSub.get()), (Cells{Coord(3, 2), Coord(3, 4)})) << hard;
        const Cells follow{Coord(4, 3), Coord(3, 2), Coord(3, 4)};
        if (!hard) {
            EXPECT_EQ(c->candidates(withDestroyer.get()), follow);
            continue;
        }
        // Hard keeps the lowest scores for the biggest ship afloat, in order.
        Aircraft a;
        Cells lowest;
        int min = 1 << 30;
        for (Coord cell : follow) min = std::min(min, scoreByHand(c->enemyField, &a, cell));
        for (Coord cell : follow)
            if (scoreByHand(c->enemyField, &a, cell) == min) lowest.push_back(cell);
        EXPECT_EQ(c->candidates(withDestroyer.get()), lowest);
    }
}

TEST(ComputerFollowing, DirectionOneAndTwoWalkAlongTheRunOfHits) {
    auto c = computer(false, 7, 7);
    auto opp = opponent(7, 7, {{5, Coord(1, 3), false}, {2, Coord(0, 0), true}});
    shootAt(*c, *opp, Coord(3, 3));
    shootAt(*c, *opp, Coord(4, 3));
    EXPECT_EQ(c->getLastHit(), Coord(4, 3));
    EXPECT_EQ(c->getLastHitDirection(), 1);
    EXPECT_EQ(c->candidates(opp.get()), (Cells{Coord(5, 3), Coord(2, 3)}));
    mark(c->enemyField, 5, 3, 1);
    EXPECT_EQ(c->candidates(opp.get()), (Cells{Coord(2, 3)}));

    auto v = computer(false, 7, 7);
    auto upright = opponent(7, 7, {{5, Coord(3, 1), true}, {2, Coord(0, 0), true}});
    shootAt(*v, *upright, Coord(3, 3));
    shootAt(*v, *upright, Coord(3, 2));
    EXPECT_EQ(v->getLastHitDirection(), 2);
    EXPECT_EQ(v->candidates(upright.get()), (Cells{Coord(3, 4), Coord(3, 1)}));
    // Both ends blocked: nothing to shoot, nothing changes.
    mark(v->enemyField, 3, 4, 1);
    mark(v->enemyField, 3, 1, 1);
    const std::vector<int> before = states(upright->myField);
    EXPECT_FALSE(v->play(upright.get()));
    EXPECT_EQ(states(upright->myField), before);
}

// hunting, miss -> hunting; hit -> following 0; miss -> unchanged; hit in
// the row -> 1; more hits keep 1; a miss keeps; the sinking hit -> hunting;
// a hit that sinks at once stays hunting.
TEST(ComputerMemory, FollowsTheStateTable) {
    auto c = computer(false, 8, 8);
    auto opp = opponent(8, 8, {{4, Coord(2, 2), false}, {2, Coord(6, 6), false}});
    shootAt(*c, *opp, Coord(0, 7));
    EXPECT_TRUE(c->getLastHit().isNull());
    shootAt(*c, *opp, Coord(3, 2));
    EXPECT_EQ(c->getLastHit(), Coord(3, 2));
    EXPECT_EQ(c->getLastHitDirection(), 0);
    EXPECT_EQ(c->candidates(opp.get()), (Cells{Coord(2, 2), Coord(4, 2), Coord(3, 1), Coord(3, 3)}));
    shootAt(*c, *opp, Coord(3, 1));
    EXPECT_EQ(c->getLastHit(), Coord(3, 2));
    EXPECT_EQ(c->getLastHitDirection(), 0);
    EXPECT_EQ(c->candidates(opp.get()), (Cells{Coord(2, 2), Coord(4, 2), Coord(3, 3)}));
    shootAt(*c, *opp, Coord(4, 2));
    EXPECT_EQ(c->getLastHit(), Coord(4, 2));
    EXPECT_EQ(c->getLastHitDirection(), 1);
    shootAt(*c, *opp, Coord(5, 2));
    EXPECT_EQ(c->getLastHit(), Coord(5, 2));
    EXPECT_EQ(c->getLastHitDirection(), 1);
    shootAt(*c, *opp, Coord(6, 2));
    EXPECT_EQ(c->getLastHit(), Coord(5, 2));
    EXPECT_EQ(c->getLastHitDirection(), 1);
    EXPECT_EQ(c->candidates(opp.get()), (Cells{Coord(2, 2)}));
    shootAt(*c, *opp, Coord(2, 2));
    EXPECT_TRUE(c->getLastHit().isNull());
    EXPECT_EQ(c->getLastHitDirection(), 0);
    // Hunting again over the whole board, away from the sunk copy.
    EXPECT_EQ(c->candidates(opp.get()).size(), 64u - 18u - 1u);

    opp->getShips()[1]->hit();  // hit once before, elsewhere
    shootAt(*c, *opp, Coord(7, 6));
    EXPECT_TRUE(opp->isLose());
    EXPECT_TRUE(c->getLastHit().isNull());
}

TEST(ComputerMemory, VerticalHitsGiveDirectionTwoCopiesKeepItNullForgets) {
    auto c = computer(false, 6, 6);
    auto opp = opponent(6, 6, {{3, Coord(1, 1), true}});
    shootAt(*c, *opp, Coord(1, 2));
    shootAt(*c, *opp, Coord(1, 3));
    EXPECT_EQ(c->getLastHit(), Coord(1, 3));
    EXPECT_EQ(c->getLastHitDirection(), 2);

    testing::internal::CaptureStdout();
    std::unique_ptr<Player> copy(c->clone());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    auto* twin = static_cast<Computer*>(copy.get());
    EXPECT_EQ(twin->getLastHit(), Coord(1, 3));
    EXPECT_EQ(twin->getLastHitDirection(), 2);
    EXPECT_FALSE(twin->getIsHard());
    EXPECT_NE(twin->enemyField, c->enemyField);

    c->null();
    EXPECT_TRUE(c->getLastHit().isNull());
    EXPECT_EQ(c->getLastHitDirection(), 0);
    EXPECT_EQ(c->enemyField->get(1, 2), 2);  // the shots are not the memory's
    EXPECT_EQ(twin->getLastHit(), Coord(1, 3));
}
