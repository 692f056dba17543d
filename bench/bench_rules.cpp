// Speed of the computer's decisions and of dealing a game.
// Each figure stands beside the full-scan version from tests/, so the ratio
// is measured in the same run.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <vector>

#include "battleships.h"
#include "computer.h"
#include "human.h"
#include "literal_computer.h"
#include "ship.h"
#include "test_ships.h"

namespace {

// Console lines of the rules ("Field was expanded +1.") would drown the table.
struct QuietCout {
    std::ostringstream sink;
    std::streambuf* old;
    QuietCout() : old(std::cout.rdbuf(sink.rdbuf())) {}
    ~QuietCout() { std::cout.rdbuf(old); }
};

// A fleet for the board: the default 2/3/4/3 up to 14 x 14, else 25 of each
// type, so that a big board still has ships left after half of it is shot.
FleetTemplates fleetFor(int side) {
    return side <= 14 ? FleetTemplates(2, 3, 4, 3) : FleetTemplates(25, 25, 25, 25);
}

// A half-played game: the target's fleet placed at random, then half of the
// board shot at in random order, as long as a ship stays afloat, recorded on
// the shooter's record board with the copies of the ships sunk.
template <class Shooter>
struct HalfPlayed {
    QuietCout quiet;
    FleetTemplates templates;
    Human target;
    Shooter shooter{true};

    explicit HalfPlayed(int side, unsigned seed) : templates(fleetFor(side)) {
        srand(seed);
        int grow = side;
        for (;;) {
            target.addFields(Coord(grow, grow));
            target.addShips(templates.ships.data(), templates.count());
            if (target.loadShips()) break;
            ++grow;
        }
        shooter.addFields(Coord(grow, grow));
        std::vector<Coord> cells;
        for (int y = 0; y < grow; ++y)
            for (int x = 0; x < grow; ++x) cells.emplace_back(x, y);
        for (size_t i = cells.size() - 1; i > 0; --i) std::swap(cells[i], cells[rand() % (i + 1)]);
        std::cout.rdbuf(quiet.old);
        // A ship that is hit is sunk at once, as the computer would finish it,
        // so the record holds misses and sunk ships only; one ship stays afloat.
        int shot = 0;
        for (Coord& c : cells) {
            if (shot >= grow * grow / 2) break;
            if (target.isHit(c) != 0) continue;
            Ship* ship = target.myField->getShip(c);
            if (ship == nullptr) {
                Ship* none = nullptr;
                shooter.enemyField->fire(c, target.hit(c, none), none);
                ++shot;
                continue;
            }
            if (target.getNotDestroyedShipBiggest() == target.getNotDestroyedShipSmallest()) continue;
            for (int k = 0; k < ship->getSize(); ++k) {
                Coord part(ship->getCoord().x + (ship->getDirection() ? 0 : k),
                           ship->getCoord().y + (ship->getDirection() ? k : 0));
                Ship* sunk = nullptr;
                const int status = target.hit(part, sunk);
                shooter.enemyField->fire(part, status, sunk);
                ++shot;
            }
        }
    }
};

template <class Shooter>
void hardTurn(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    unsigned seed = 1;
    auto game = std::make_unique<HalfPlayed<Shooter>>(side, seed);
    for (auto _ : state) {
        if (game->target.isLose()) {
            state.PauseTiming();
            game = std::make_unique<HalfPlayed<Shooter>>(side, ++seed);
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(game->shooter.play(&game->target));
    }
    state.SetLabel(std::to_string(game->target.myField->w) + " x " + std::to_string(game->target.myField->h));
}

// The hint overlay's work for one frame: every cell's score for the human's
// biggest ship afloat, after a shot changed the record.
template <class Shooter>
void overlayScores(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    HalfPlayed<Shooter> game(side, 7);
    Player& computer = game.shooter;
    Ship* biggest = game.target.getNotDestroyedShipBiggest();
    Coord corner(0, 0);
    for (auto _ : state) {
        // A new frame follows a change of the record: nothing carried over.
        computer.enemyField->set(corner, computer.enemyField->get(corner));
        long long sum = 0;
        for (int y = 0; y < computer.enemyField->h; ++y)
            for (int x = 0; x < computer.enemyField->w; ++x) {
                Coord c(x, y);
                if (computer.enemyField->isShipTargetable(biggest, c)) sum += computer.testSituation(biggest, c);
            }
        benchmark::DoNotOptimize(sum);
    }
}

// Dealing a game of 100 aircraft carriers from a 1 x 1 board: the board grows
// one step at a time until a random placement of the whole fleet succeeds.
void newGameCarriers(benchmark::State& state) {
    QuietCout quiet;
    unsigned seed = 1;
    for (auto _ : state) {
        srand(seed++);
        Battleships game(Coord(1, 1), Human(), Computer(true));
        for (int i = 0; i < 100; ++i) game.addShip(Aircraft());
        game.newGame();
        state.counters["side"] = game.getFieldSize().x;
    }
}

void newGameCarriersFullScan(benchmark::State& state) {
    QuietCout quiet;
    unsigned seed = 1;
    for (auto _ : state) {
        srand(seed++);
        FleetTemplates templates(100, 0, 0, 0);
        LiteralComputer computer(true);
        int side = 1;
        computer.addFields(Coord(side, side));
        computer.addShips(templates.ships.data(), templates.count());
        while (!literalLoadShips(computer)) {
            ++side;
            computer.addFields(Coord(side, side));
        }
        state.counters["side"] = side;
    }
}

}  // namespace

BENCHMARK_TEMPLATE(hardTurn, Computer)->Arg(14)->Arg(50)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(hardTurn, LiteralComputer)->Arg(14)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(hardTurn, LiteralComputer)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_TEMPLATE(overlayScores, Computer)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(overlayScores, LiteralComputer)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(newGameCarriers)->Unit(benchmark::kMillisecond);
BENCHMARK(newGameCarriersFullScan)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
