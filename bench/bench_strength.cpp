// How strong each level is: the shots the computer needs to sink a whole
// fleet placed at random, over many games from fixed seeds.
//   bench_strength [games]   (default 1000 per level and game)

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <vector>

#include "computer.h"
#include "human.h"
#include "ship.h"
#include "test_ships.h"

namespace {

struct Setup {
    const char* name;
    int w, h;
    int carriers, battleships, submarines, destroyers;
};

// Shots until the fleet is sunk, for one seeded game.
int shotsToWin(const Setup& setup, bool hard, unsigned seed) {
    FleetTemplates templates(setup.carriers, setup.battleships, setup.submarines, setup.destroyers);

    srand(seed);
    Human target;
    Computer computer(hard);
    int grow = 0;
    do {
        target.addFields(Coord(setup.w + grow, setup.h + grow));
        target.addShips(templates.ships.data(), templates.count());
        ++grow;
    } while (!target.loadShips());
    computer.addFields(Coord(target.myField->w, target.myField->h));
    int shots = 0;
    while (!target.isLose()) {
        if (!computer.play(&target)) return -1;
        ++shots;
    }
    return shots;
}

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const Setup setups[] = {{"14 x 14, 2/3/4/3 (default)", 14, 14, 2, 3, 4, 3},
                            {"10 x 10, 1/1/1/1 (classic)", 10, 10, 1, 1, 1, 1}};
    // The constructor's console line, once per game, is not wanted here.
    std::ostringstream sink;
    std::streambuf* old = std::cout.rdbuf(sink.rdbuf());
    std::vector<std::string> rows;
    for (const Setup& setup : setups) {
        for (bool hard : {false, true}) {
            std::vector<int> shots;
            for (int g = 0; g < games; ++g) shots.push_back(shotsToWin(setup, hard, 1000u + g));
            std::sort(shots.begin(), shots.end());
            double mean = 0;
            for (int s : shots) mean += s;
            mean /= shots.size();
            const int median = shots[shots.size() / 2];
            const int p95 = shots[std::min(shots.size() - 1, shots.size() * 95 / 100)];
            char row[200];
            std::snprintf(row, sizeof row, "| %s | %s | %d | %.1f | %d | %d | %d |", setup.name,
                          hard ? "Hard" : "Easy", games, mean, median, p95, shots.back());
            rows.push_back(row);
        }
    }
    std::cout.rdbuf(old);
    std::cout << "| game | level | games | mean | median | 95th percentile | max |\n"
              << "|---|---|---|---|---|---|---|\n";
    for (const std::string& row : rows) std::cout << row << "\n";
    return 0;
}
