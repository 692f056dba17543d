// Whole games played through the controller with a scripted human, from a
// seed: every game must end with exactly one winner whose surviving ships are
// shown on the loser's record, each call on a new cell must be exactly one
// exchange, a call on a cell shot before must change nothing, and the
// computer must always find a cell ("Second player can't play!" never shows).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "battleships.h"
#include "computer.h"
#include "human.h"
#include "ship.h"
#include "test_ships.h"

namespace {


enum class Aim { Shuffled, RowByRow, AtShips };

struct Setup {
    int w, h;
    std::vector<int> fleet;
};

const std::vector<int> defaultFleet{5, 5, 4, 4, 4, 3, 3, 3, 3, 2, 2, 2};


// The human's order of cells: shuffled by a private generator, row by row,
// or the computer's ship cells first (so that the human wins).
std::vector<Coord> order(Battleships& g, Aim aim, unsigned seed) {
    const Field* theirs = g.secondPlayer->myField;
    std::vector<Coord> cells;
    for (int y = 0; y < theirs->h; ++y)
        for (int x = 0; x < theirs->w; ++x) cells.emplace_back(x, y);
    if (aim == Aim::Shuffled) std::shuffle(cells.begin(), cells.end(), std::mt19937(seed));
    if (aim == Aim::AtShips)
        std::stable_partition(cells.begin(), cells.end(),
                              [&](const Coord& c) { return theirs->getShip(c.x, c.y) != nullptr; });
    return cells;
}

// Plays one whole game and checks it call by call; returns the winner's
// number (0 the human, 1 the computer), or -1 after a failure.
int playOne(const Setup& s, bool hard, unsigned seed, Aim aim) {
    testing::internal::CaptureStdout();
    auto g = std::make_unique<Battleships>(Coord(s.w, s.h), Human(), Computer(hard));
    for (int size : s.fleet) {
        std::unique_ptr<Ship> t(makeShip(size));
        g->addShip(*t);
    }
    std::srand(seed);
    g->newGame();
    testing::internal::GetCapturedStdout();
    // The human's own random placement may need a few tries on a tight board.
    int tries = 0;
    while (!g->mainPlayer->loadShips() && ++tries < 200) {
    }
    EXPECT_TRUE(g->mainPlayer->isReady()) << "seed " << seed;
    if (!g->mainPlayer->isReady()) return -1;

    Player* human = g->mainPlayer;
    Player* computer = g->secondPlayer;
    auto boards = [&] {
        return std::vector<std::vector<int>>{cellStates(human->myField), cellStates(human->enemyField),
                                             cellStates(computer->myField), cellStates(computer->enemyField)};
    };
    std::vector<Coord> done;
    std::string out;
    for (const Coord& c : order(*g, aim, seed)) {
        if (g->winPlayer != nullptr) break;
        const int humanShots = shotCount(human->enemyField), computerShots = shotCount(computer->enemyField);
        testing::internal::CaptureStdout();
        const bool result = g->play(human, c);
        const std::string said = testing::internal::GetCapturedStdout();
        out += said;
        EXPECT_TRUE(result) << "seed " << seed << " at " << c;
        EXPECT_EQ(shotCount(human->enemyField), humanShots + 1);
        const bool humanWon = g->winPlayer == human;
        EXPECT_EQ(shotCount(computer->enemyField), computerShots + (humanWon ? 0 : 1)) << "seed " << seed;
        EXPECT_EQ(human->enemyField->get(c), computer->myField->get(c));
        done.push_back(c);

        // Every seventh call, a cell shot before: nothing at all happens.
        if (done.size() % 7 == 0 || g->winPlayer != nullptr) {
            const Coord again = done[done.size() / 2];
            const auto before = boards();
            testing::internal::CaptureStdout();
            EXPECT_TRUE(g->play(human, again));
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            EXPECT_TRUE(boards() == before) << "seed " << seed;
        }
        if (::testing::Test::HasFailure()) return -1;
    }

    EXPECT_NE(g->winPlayer, nullptr) << "seed " << seed;
    if (g->winPlayer == nullptr) return -1;
    Player* winner = g->winPlayer;
    Player* loser = winner == human ? computer : human;
    EXPECT_EQ(out, winner == human ? "Player #0 won.\n" : "Player #1 won.\n") << "seed " << seed;
    EXPECT_TRUE(loser->isLose());
    EXPECT_FALSE(winner->isLose());

    // The loser's record shows each of the winner's ships: the ship itself
    // where it survived, a destroyed copy where it was sunk.
    for (int i = 0; i < winner->getShipsCount(); ++i) {
        Ship* ship = winner->getShips()[i];
        for (int k = 0; k < ship->getSize(); ++k) {
            Coord c = ship->getDirection() ? Coord(ship->getCoord().x, ship->getCoord().y + k)
                                           : Coord(ship->getCoord().x + k, ship->getCoord().y);
            Ship* shown = loser->enemyField->getShip(c);
            if (ship->isDestroyed()) {
                if (shown == nullptr) {
                    ADD_FAILURE() << "no sunk copy at " << c << ", seed " << seed;
                    return -1;
                }
                EXPECT_NE(shown, ship);
                EXPECT_TRUE(shown->isDestroyed());
            } else {
                EXPECT_EQ(shown, ship) << "seed " << seed << " at " << c;
            }
        }
    }
    // Both records agree with the boards they describe.
    for (int y = 0; y < human->myField->h; ++y)
        for (int x = 0; x < human->myField->w; ++x) {
            EXPECT_EQ(human->enemyField->get(x, y), computer->myField->get(x, y));
            EXPECT_EQ(computer->enemyField->get(x, y), human->myField->get(x, y));
        }
    return winner == human ? 0 : 1;
}

// Plays seeds 1..games with each of the three human scripts in turn and
// checks that both sides win some of them.
void playMany(const Setup& s, bool hard, unsigned games) {
    int wins[2] = {0, 0};
    for (unsigned seed = 1; seed <= games; ++seed) {
        const Aim aim = seed % 3 == 0 ? Aim::AtShips : seed % 3 == 1 ? Aim::Shuffled : Aim::RowByRow;
        const int w = playOne(s, hard, seed, aim);
        ASSERT_GE(w, 0) << "seed " << seed;
        ++wins[w];
    }
    EXPECT_GT(wins[0], 0);
    EXPECT_GT(wins[1], 0);
}

}  // namespace

// The default game, 14 x 14 with 2/3/4/3 ships: seeds 1..15 at each level.
TEST(WholeGames, DefaultGameEasy) { playMany({14, 14, defaultFleet}, false, 15); }
TEST(WholeGames, DefaultGameHard) { playMany({14, 14, defaultFleet}, true, 15); }

// A small board, 7 x 7 with 1/1/1/2 ships: seeds 1..50 at each level.
TEST(WholeGames, SmallBoardEasy) { playMany({7, 7, {5, 4, 3, 2, 2}}, false, 50); }
TEST(WholeGames, SmallBoardHard) { playMany({7, 7, {5, 4, 3, 2, 2}}, true, 50); }

// Oblong boards, 12 x 4 and 3 x 11: seeds 1..20 each at each level.
TEST(WholeGames, WideBoard) {
    playMany({12, 4, {4, 3, 2, 2}}, false, 20);
    playMany({12, 4, {4, 3, 2, 2}}, true, 20);
}
TEST(WholeGames, TallBoard) {
    playMany({3, 11, {3, 3, 2}}, false, 20);
    playMany({3, 11, {3, 3, 2}}, true, 20);
}

// A fleet that doesn't fit at first: the board grows from 3 x 3, and the
// games on the grown board end as any other. Seeds 1..12 at each level.
TEST(WholeGames, GrownBoard) {
    playMany({3, 3, {4, 3, 3, 2}}, false, 12);
    playMany({3, 3, {4, 3, 3, 2}}, true, 12);
}
