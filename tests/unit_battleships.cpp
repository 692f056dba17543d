// The game controller: templates, dealing (with the board growing until the
// computer's fleet fits), one exchange per play, refused cells, wins and the
// reveal of the winner's ships, and what it owns.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "battleships.h"
#include "computer.h"
#include "human.h"
#include "ship.h"
#include "test_ships.h"

namespace {


std::unique_ptr<Battleships> game(int w, int h, const std::vector<int>& sizes, bool hard) {
    testing::internal::CaptureStdout();
    Human human;
    Computer computer(hard);
    auto g = std::make_unique<Battleships>(Coord(w, h), human, computer);
    testing::internal::GetCapturedStdout();
    for (int s : sizes) {
        std::unique_ptr<Ship> t(makeShip(s));
        g->addShip(*t);
    }
    return g;
}

std::string dealt(Battleships& g) {
    testing::internal::CaptureStdout();
    g.newGame();
    return testing::internal::GetCapturedStdout();
}

// Every cell of all four boards.
std::vector<int> snapshot(Battleships& g) {
    std::vector<int> all;
    for (Field* f : {g.mainPlayer->myField, g.mainPlayer->enemyField, g.secondPlayer->myField,
                     g.secondPlayer->enemyField}) {
        const std::vector<int> cells = cellStates(f);
        all.insert(all.end(), cells.begin(), cells.end());
    }
    return all;
}

std::string played(Battleships& g, Coord pos, bool* result = nullptr) {
    testing::internal::CaptureStdout();
    const bool r = g.play(g.mainPlayer, pos);
    if (result) *result = r;
    return testing::internal::GetCapturedStdout();
}

// Each cell of the ship, as (x, y).
std::vector<Coord> cellsOf(Ship* s) {
    std::vector<Coord> cells;
    for (int k = 0; k < s->getSize(); ++k)
        cells.push_back(s->getDirection() ? Coord(s->getCoord().x, s->getCoord().y + k)
                                          : Coord(s->getCoord().x + k, s->getCoord().y));
    return cells;
}


}  // namespace

TEST(Controller, WithoutTemplatesNoShotIsEverTaken) {
    auto g = game(4, 4, {}, false);
    EXPECT_EQ(typeid(*g->mainPlayer), typeid(Human));
    ASSERT_EQ(typeid(*g->secondPlayer), typeid(Computer));
    EXPECT_FALSE(static_cast<Computer*>(g->secondPlayer)->getIsHard());
    EXPECT_EQ(dealt(*g), "");
    const std::vector<int> before = snapshot(*g);
    bool result = false;
    EXPECT_EQ(played(*g, Coord(1, 1), &result), "");
    EXPECT_TRUE(result);
    EXPECT_EQ(g->winPlayer, nullptr);
    EXPECT_EQ(snapshot(*g), before);
}

TEST(Controller, KeepsTheFirstHundredTemplates) {
    auto g = game(40, 40, {}, false);
    Destroyer d;
    Aircraft a;
    for (int i = 0; i < 100; ++i) g->addShip(d);
    for (int i = 0; i < 5; ++i) g->addShip(a);
    EXPECT_EQ(g->getShipsCount(), 100);
    dealt(*g);
    EXPECT_EQ(g->mainPlayer->getShipsCount(0), "100x destroyer");
    EXPECT_EQ(g->secondPlayer->getShipsCount(), 100);
    EXPECT_TRUE(g->secondPlayer->isReady());
}

// A fleet from counts fills the templates biggest type first, up to the
// limit, and stops there even for counts a loop could not get through.
TEST(Controller, AddsAFleetFromItsCountsUpToTheLimit) {
    auto g = game(40, 40, {}, false);
    const int few[4] = {1, 0, 2, 1};
    addFleet(*g, few);
    EXPECT_EQ(g->getShipsCount(), 4);
    const int huge[4] = {0, 2000000000, 2000000000, 2000000000};
    addFleet(*g, huge);
    EXPECT_EQ(g->getShipsCount(), Battleships::maxShips);
    dealt(*g);
    EXPECT_EQ(g->mainPlayer->getShipsCount(0),
              "1x aircraft carrier, 2x submarine, 1x destroyer, 96x battleship");
}

TEST(Controller, GrowsTheBoardUntilTheComputersFleetFits) {
    // One carrier needs a 5 x 5 board at least, and always fits there.
    auto g = game(1, 1, {5}, true);
    EXPECT_EQ(dealt(*g),
              "Field was expanded +1.\nField was expanded +1.\nField was expanded +1.\n"
              "Field was expanded +1.\n");
    EXPECT_EQ(g->getFieldSize(), Coord(5, 5));
    for (Player* p : {g->mainPlayer, g->secondPlayer}) {
        EXPECT_EQ(p->myField->w, 5);
        EXPECT_EQ(p->enemyField->h, 5);
    }
    EXPECT_TRUE(g->secondPlayer->isReady());
    EXPECT_FALSE(g->mainPlayer->isReady());
    EXPECT_EQ(g->mainPlayer->getShipsCount(0), "1x aircraft carrier");
    // The next game starts from the grown size.
    EXPECT_EQ(dealt(*g), "");
    EXPECT_EQ(g->getFieldSize(), Coord(5, 5));
}

TEST(Controller, DefaultFleetOnAOneByOneBoardGrowsOneStepPerMessage) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::srand(seed);
        auto g = game(1, 1, {5, 5, 4, 4, 4, 3, 3, 3, 3, 2, 2, 2}, false);
        const std::string out = dealt(*g);
        const int steps = g->getFieldSize().x - 1;
        EXPECT_GE(steps, 8);
        std::string expected;
        for (int i = 0; i < steps; ++i) expected += "Field was expanded +1.\n";
        EXPECT_EQ(out, expected);
        EXPECT_EQ(g->getFieldSize().y, g->getFieldSize().x);
        EXPECT_EQ(g->mainPlayer->myField->w, g->getFieldSize().x);
        EXPECT_TRUE(g->secondPlayer->isReady());
    }
}

TEST(Controller, RefusedCellsChangeNothingAndTheComputerWaits) {
    std::srand(11);
    auto g = game(8, 8, {3, 2}, true);
    dealt(*g);
    ASSERT_TRUE(g->mainPlayer->loadShips());
    bool result = false;
    EXPECT_EQ(played(*g, Coord(2, 5), &result), "");
    EXPECT_TRUE(result);
    EXPECT_EQ(shotCount(g->mainPlayer->enemyField), 1);
    EXPECT_EQ(shotCount(g->mainPlayer->myField), 1);
    const std::vector<int> before = snapshot(*g);
    for (Coord c : {Coord(2, 5), Coord(), Coord(8, 0), Coord(0, 8), Coord(-1, 3)}) {
        EXPECT_EQ(played(*g, c, &result), "") << c;
        EXPECT_TRUE(result);
        EXPECT_EQ(snapshot(*g), before) << c;
    }
}

// Seed 3, 6 x 6, one destroyer a side: the human hits the computer's
// destroyer twice. The first call is a full exchange; the second sinks the
// last ship, so the computer does not answer. Having shot once, it can't have
// sunk the human's destroyer, which then shows on its record.
TEST(Controller, HumanSinkingTheLastShipWinsBeforeTheComputerAnswers) {
    std::srand(3);
    auto g = game(6, 6, {2}, true);
    dealt(*g);
    ASSERT_TRUE(g->mainPlayer->loadShips());
    const std::vector<Coord> target = cellsOf(g->secondPlayer->getShips()[0]);
    EXPECT_EQ(played(*g, target[0]), "");
    EXPECT_EQ(shotCount(g->mainPlayer->myField), 1);
    EXPECT_EQ(played(*g, target[1]), "Player #0 won.\n");
    EXPECT_EQ(g->winPlayer, g->mainPlayer);
    EXPECT_EQ(shotCount(g->mainPlayer->myField), 1);
    // The human's ship, afloat after one computer shot, is shown on the
    // computer's record as the ship itself.
    Ship* mine = g->mainPlayer->getShips()[0];
    ASSERT_FALSE(mine->isDestroyed());
    for (Coord c : cellsOf(mine)) EXPECT_EQ(g->secondPlayer->enemyField->getShip(c), mine) << c;

    const std::vector<int> before = snapshot(*g);
    for (int x = 0; x < 6; ++x) {
        bool result = false;
        EXPECT_EQ(played(*g, Coord(x, 5), &result), "");
        EXPECT_TRUE(result);
    }
    EXPECT_EQ(snapshot(*g), before);
}

// Seed 8, 6 x 6, one destroyer a side, Hard: the human shoots only empty
// cells, so only the computer can win, and with this seed it does within the
// human's 34 misses. Its destroyer, never hit, shows on the human's record.
TEST(Controller, ComputerSinkingTheLastShipWinsAndShowsItsShips) {
    std::srand(8);
    auto g = game(6, 6, {2}, true);
    dealt(*g);
    ASSERT_TRUE(g->mainPlayer->loadShips());
    std::string out;
    for (int y = 0; y < 6 && g->winPlayer == nullptr; ++y)
        for (int x = 0; x < 6 && g->winPlayer == nullptr; ++x)
            if (g->secondPlayer->myField->getShip(x, y) == nullptr) out += played(*g, Coord(x, y));
    ASSERT_EQ(g->winPlayer, g->secondPlayer);
    EXPECT_EQ(out, "Player #1 won.\n");
    EXPECT_TRUE(g->mainPlayer->isLose());
    Ship* theirs = g->secondPlayer->getShips()[0];
    for (Coord c : cellsOf(theirs)) EXPECT_EQ(g->mainPlayer->enemyField->getShip(c), theirs) << c;

    const std::vector<int> before = snapshot(*g);
    EXPECT_EQ(played(*g, theirs->getCoord()), "");
    EXPECT_EQ(snapshot(*g), before);

    // A new game clears the win and the boards.
    dealt(*g);
    EXPECT_EQ(g->winPlayer, nullptr);
    EXPECT_EQ(shotCount(g->mainPlayer->enemyField) + shotCount(g->secondPlayer->enemyField), 0);
    EXPECT_FALSE(g->mainPlayer->isReady());
    EXPECT_TRUE(g->secondPlayer->isReady());
}

// The computer's record is filled with misses by hand, so after the human's
// shot the Easy computer finds no cell left.
TEST(Controller, AComputerWithNothingToShootAtSaysSo) {
    std::srand(5);
    auto g = game(5, 5, {2}, false);
    dealt(*g);
    ASSERT_TRUE(g->mainPlayer->loadShips());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            Coord c(x, y);
            g->secondPlayer->enemyField->set(c, 1);
        }
    Coord pos(0, 0);
    if (g->secondPlayer->myField->getShip(pos) != nullptr) pos = Coord(4, 4);
    if (g->secondPlayer->myField->getShip(pos) != nullptr) pos = Coord(0, 4);
    bool result = true;
    EXPECT_EQ(played(*g, pos, &result), "Second player can't play!\n");
    EXPECT_FALSE(result);
    EXPECT_EQ(g->winPlayer, nullptr);
    EXPECT_EQ(g->mainPlayer->enemyField->get(pos), 1);
    EXPECT_EQ(shotCount(g->mainPlayer->myField), 0);
}

// Templates, fleets, sunk copies on both records and the revealed ships all
// go with the controller; nothing else is freed twice.
TEST(Controller, OwnsEverythingItMadeAndFreesIt) {
    CountedDestroyer::live = 0;
    {
        testing::internal::CaptureStdout();
        auto g = std::make_unique<Battleships>(Coord(7, 7), Human(), Computer(true));
        testing::internal::GetCapturedStdout();
        CountedDestroyer t;
        for (int i = 0; i < 3; ++i) g->addShip(t);
        std::srand(21);
        dealt(*g);
        ASSERT_TRUE(g->mainPlayer->loadShips());
        EXPECT_EQ(CountedDestroyer::live, 1 + 3 + 3 + 3);
        // The human shoots every cell of the computer's ships in turn.
        std::vector<Coord> targets;
        for (int i = 0; i < 3; ++i)
            for (Coord c : cellsOf(g->secondPlayer->getShips()[i])) targets.push_back(c);
        for (Coord c : targets) played(*g, c);
        ASSERT_NE(g->winPlayer, nullptr);
        EXPECT_GT(CountedDestroyer::live, 1 + 3 + 3 + 3);
        g.reset();
        EXPECT_EQ(CountedDestroyer::live, 1);
    }
    EXPECT_EQ(CountedDestroyer::live, 0);
}
