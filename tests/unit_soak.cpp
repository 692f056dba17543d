// Thousands of whole games through the controller, from a fixed list of
// seeds: boards from 1 x 1 to 40 x 40, oblong ones too, fleets of 0 to 8 ships
// per type and some of over a hundred, both levels. The human's fleet is
// placed at random; its script shoots every cell in some order and, in
// between, cells shot before, cells off the board and the null coordinate.
// After every exchange the boards, fleets and summaries are checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "battleships.h"
#include "computer.h"
#include "game_invariants.h"
#include "human.h"
#include "ship.h"

namespace {

struct Figures {
    long long games = 0;
    long long fleetless = 0;
    long long exchanges = 0;
    long long refused = 0;
    long long wins[2] = {0, 0};
    invariants::Checker checker;
};

// std::cout of the rules, kept while a soak runs.
class Console {
public:
    Console() : saved(std::cout.rdbuf(text.rdbuf())) {}
    ~Console() { std::cout.rdbuf(saved); }
    std::string take() {
        std::string said = text.str();
        text.str("");
        return said;
    }

private:
    std::ostringstream text;
    std::streambuf* saved;
};

struct Setup {
    int w = 1, h = 1;
    int counts[4] = {0, 0, 0, 0};
    bool hard = false;
    int games = 1;  // dealt one after the other on one controller
};

// Most games small, some up to 40 cells a side or with 8 ships of a type:
// a game costs about the square of its cells, and a big fleet grows the
// board.
int side(std::mt19937& rng, int most) {
    return 1 + static_cast<int>(rng() % most);
}

Setup setupFor(unsigned seed, bool hard) {
    std::mt19937 rng(seed);
    Setup s;
    s.hard = hard;
    const unsigned kind = rng() % 100;
    const int most = kind < 75 ? 10 : kind < 98 ? 20 : 40;
    s.w = side(rng, most);
    s.h = side(rng, most);
    // The corners of the range, now and then.
    switch (seed % 1009) {
    case 0: s.w = s.h = 1; break;
    case 1: s.w = s.h = 40; break;
    case 2: s.w = 1; s.h = 40; break;
    case 3: s.w = 40; s.h = 1; break;
    default: break;
    }
    const int ships = kind < 75 ? 4 : 9;
    for (int& c : s.counts) c = static_cast<int>(rng() % ships);
    // Over a hundred ships: the controller keeps the first hundred.
    if (seed % 1000 == 7)
        for (int& c : s.counts) c = 26 + static_cast<int>(rng() % 15);
    if (seed % 500 == 11)
        for (int& c : s.counts) c = 0;
    s.games = rng() % 4 == 0 ? 2 : 1;
    return s;
}

std::string describe(unsigned seed, const Setup& s, int game) {
    std::ostringstream d;
    d << "seed " << seed << ", " << s.w << " x " << s.h << ", fleet " << s.counts[0] << "/" << s.counts[1] << "/"
      << s.counts[2] << "/" << s.counts[3] << ", " << (s.hard ? "Hard" : "Easy") << ", game " << game;
    return d.str();
}

std::vector<unsigned long long> revisions(Battleships& g) {
    return {g.mainPlayer->myField->getRevision(), g.mainPlayer->enemyField->getRevision(),
            g.secondPlayer->myField->getRevision(), g.secondPlayer->enemyField->getRevision()};
}

// A cell the controller must refuse: one shot before, one off the board, or
// the null coordinate.
Coord refusedCell(std::mt19937& rng, const std::vector<Coord>& done, const Coord& size) {
    switch (rng() % 4) {
    case 0:
        if (!done.empty()) return done[rng() % done.size()];
        return Coord();
    case 1: return Coord();
    case 2: {
        const Coord outside[] = {Coord(-1, 0),       Coord(0, -1),     Coord(size.x, 0),         Coord(0, size.y),
                                 Coord(size.x, size.y), Coord(-1, size.y), Coord(INT_MIN, INT_MIN), Coord(INT_MAX, 0),
                                 Coord(0, INT_MAX),  Coord(-7, 3)};
        return outside[rng() % (sizeof outside / sizeof outside[0])];
    }
    default: {
        const int x = static_cast<int>(rng() % (size.x + 2)) - 1;
        return Coord(x, rng() % 2 == 0 ? -1 - static_cast<int>(rng() % 3) : size.y + static_cast<int>(rng() % 3));
    }
    }
}

// Plays the refused cell and checks that nothing moved. False after a failure.
bool playRefused(Battleships& g, Console& console, const Coord& c, const std::string& where, Figures& f) {
    const auto before = revisions(g);
    Player* winner = g.winPlayer;
    const bool result = g.play(g.mainPlayer, c);
    const std::string said = console.take();
    ++f.refused;
    if (!result || !said.empty() || revisions(g) != before || g.winPlayer != winner) {
        ADD_FAILURE() << where << ": the refused cell " << c << " changed the game (result " << result << ", said \""
                      << said << "\")";
        return false;
    }
    return true;
}

// One game on the controller: dealt, the human placed at random, then played
// to its end. False after a failure.
bool playGame(Battleships& g, Console& console, std::mt19937& rng, const std::string& where, Figures& f) {
    const Coord before = g.getFieldSize();
    g.newGame();
    const std::string dealt = console.take();
    const Coord size = g.getFieldSize();
    const int grown = size.x - before.x;
    std::string expansions;
    for (int i = 0; i < grown; ++i) expansions += "Field was expanded +1.\n";
    if (size.y - before.y != grown || dealt != expansions) {
        ADD_FAILURE() << where << ": grew " << before.x << " x " << before.y << " to " << size.x << " x " << size.y
                      << " and said \"" << dealt << "\"";
        return false;
    }
    ++f.games;
    Player* human = g.mainPlayer;
    Player* computer = g.secondPlayer;

    // On a tight board a random placement may fail where the fleet fits.
    for (int tries = 0; tries < 2000 && !human->loadShips(); ++tries) {
    }
    if (!human->isReady()) {
        ADD_FAILURE() << where << ": the human's fleet never stood on " << size.x << " x " << size.y;
        return false;
    }
    std::string broken = f.checker.check(g);
    if (!broken.empty()) {
        ADD_FAILURE() << where << ", dealt: " << broken;
        return false;
    }

    std::vector<Coord> order;
    for (int y = 0; y < size.y; ++y)
        for (int x = 0; x < size.x; ++x) order.emplace_back(x, y);
    switch (rng() % 3) {
    case 0: std::shuffle(order.begin(), order.end(), rng); break;
    case 1: break;  // row by row
    default:        // the computer's ships first, so that the human wins
        std::shuffle(order.begin(), order.end(), rng);
        std::stable_partition(order.begin(), order.end(),
                              [&](const Coord& c) { return computer->myField->getShip(c.x, c.y) != nullptr; });
    }

    if (human->getShipsCount() == 0) {
        // Both sides count as lost from the start: every call refused, no
        // winner ever.
        ++f.fleetless;
        for (int i = 0; i < 5 && i < static_cast<int>(order.size()); ++i)
            if (!playRefused(g, console, order[i], where, f)) return false;
        broken = f.checker.check(g);
        if (!broken.empty() || g.winPlayer != nullptr) {
            ADD_FAILURE() << where << ", no fleet: " << broken;
            return false;
        }
        return true;
    }

    std::vector<Coord> done;
    for (const Coord& c : order) {
        if (g.winPlayer != nullptr) break;
        if (rng() % 6 == 0 && !playRefused(g, console, refusedCell(rng, done, size), where, f)) return false;

        const int shots[2] = {f.checker.shots[0], f.checker.shots[1]};
        const bool result = g.play(human, c);
        const std::string said = console.take();
        ++f.exchanges;
        done.push_back(c);
        broken = f.checker.check(g);
        if (!broken.empty()) {
            ADD_FAILURE() << where << ", after the shot at " << c << ": " << broken;
            return false;
        }
        const bool humanWon = g.winPlayer == human;
        const std::string expected = humanWon ? "Player #0 won.\n" : g.winPlayer == computer ? "Player #1 won.\n" : "";
        if (!result || said != expected || human->enemyField->get(c) == 0 || f.checker.shots[0] != shots[0] + 1 ||
            f.checker.shots[1] != shots[1] + (humanWon ? 0 : 1)) {
            ADD_FAILURE() << where << ", the shot at " << c << ": result " << result << ", said \"" << said
                          << "\", shots " << f.checker.shots[0] << "/" << f.checker.shots[1] << " after " << shots[0]
                          << "/" << shots[1];
            return false;
        }
    }
    if (g.winPlayer == nullptr) {
        ADD_FAILURE() << where << ": no winner after " << done.size() << " exchanges on " << size.x << " x " << size.y;
        return false;
    }
    ++f.wins[g.winPlayer == human ? 0 : 1];
    // Once decided, every call is ignored: a new cell as well as a bad one.
    if (done.size() < order.size() && !playRefused(g, console, order[done.size()], where, f)) return false;
    return playRefused(g, console, refusedCell(rng, done, size), where, f);
}

// Plays the games of seeds first .. last - 1 at one level; prints the figures.
void soak(unsigned first, unsigned last, bool hard) {
    Figures f;
    {
        Console console;
        for (unsigned seed = first; seed < last; ++seed) {
            const Setup s = setupFor(seed, hard);
            std::srand(seed);
            std::mt19937 rng(seed * 7919u + 13u);
            Battleships g(Coord(s.w, s.h), Human(), Computer(hard));
            console.take();
            addFleet(g, s.counts);
            const int total = s.counts[0] + s.counts[1] + s.counts[2] + s.counts[3];
            if (g.getShipsCount() != std::min(total, 100)) {
                ADD_FAILURE() << describe(seed, s, 0) << ": " << g.getShipsCount() << " templates";
                break;
            }
            bool ok = true;
            for (int game = 1; game <= s.games && ok; ++game)
                ok = playGame(g, console, rng, describe(seed, s, game), f);
            if (!ok) break;
        }
    }
    std::cout << (hard ? "Hard" : "Easy") << ", seeds " << first << " to " << last - 1 << ": " << f.games
              << " games (" << f.fleetless << " without ships), " << f.exchanges << " exchanges, " << f.refused
              << " refused calls, " << f.checker.checks << " invariant checks over " << f.checker.cells
              << " cells; the human won " << f.wins[0] << ", the computer " << f.wins[1] << std::endl;
    EXPECT_GE(f.games, static_cast<long long>(last - first));
    EXPECT_GT(f.wins[0], 0);
    EXPECT_GT(f.wins[1], 0);
}

}  // namespace

// 10,000 seeds in four runs, so that they can share the cores.
TEST(Soak, EasyGamesOfSeeds1To2500KeepEveryInvariant) {
    soak(1, 2501, false);
}

TEST(Soak, EasyGamesOfSeeds2501To5000KeepEveryInvariant) {
    soak(2501, 5001, false);
}

TEST(Soak, HardGamesOfSeeds5001To7500KeepEveryInvariant) {
    soak(5001, 7501, true);
}

TEST(Soak, HardGamesOfSeeds7501To10000KeepEveryInvariant) {
    soak(7501, 10001, true);
}
