#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>

#include "battleships.h"
#include "computer.h"
#include "display.h"
#include "human.h"
#include "params.h"
#include "ship.h"

Battleships* g_game = nullptr;
Display* g_display = nullptr;

void afterExit() {
    std::cout << "Exiting Battleship game..." << std::endl;
    if (g_game != nullptr) delete g_game;
    delete g_display;
}

namespace {

// Bytes the game needs for a board: four boards of a ship and a state layer
// in rows of their own, the lists of free places the random placement builds
// and the computer's per-cell tables.
double bytesForBoard(double w, double h) {
    const double cells = w * h;
    const double boards = 4 * (h * (2 * sizeof(void*) + 2 * 16) + cells * (sizeof(void*) + sizeof(int)));
    const double placement = cells * (2 * sizeof(Coord) + sizeof(int));
    const double computer = cells * (2 * sizeof(int) + sizeof(int) + 2 + sizeof(int));
    return boards + placement + computer;
}

double availableBytes() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    double kilobytes = 0;
    std::string unit;
    while (meminfo >> key >> kilobytes >> unit)
        if (key == "MemAvailable:") return kilobytes * 1024;
    return static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

}  // namespace

int main(int argc, char** argv) {
    std::cout << "Starting Battleship game..." << std::endl;
    srand(static_cast<unsigned>(time(nullptr)));
    atexit(afterExit);

    int params[PARAM_COUNT];
    readParams(argc, argv, params);

    // Refuse a board that cannot fit in memory before anything is allocated.
    const double needed = bytesForBoard(params[PARAM_WIDTH], params[PARAM_HEIGHT]);
    const double available = availableBytes();
    if (needed > available) {
        std::cerr << "Battleship game: a board of " << params[PARAM_WIDTH] << " x " << params[PARAM_HEIGHT]
                  << " cells needs about " << static_cast<long long>(needed / 1048576)
                  << " MiB of memory, but only " << static_cast<long long>(available / 1048576)
                  << " MiB are available." << std::endl;
        exit(1);
    }

    const Coord size(params[PARAM_WIDTH], params[PARAM_HEIGHT]);
    {
        Human human;
        Computer computer(params[PARAM_DIFFICULTY] != 0);
        g_game = new Battleships(size, human, computer);
    }

    // The controller keeps only the first 100 templates, so counting further
    // would add nothing (and would take seconds for counts in the billions).
    auto add = [](int count, const Ship& ship) {
        for (int i = 0; i < count && g_game->getShipsCount() < 100; ++i) g_game->addShip(ship);
    };
    add(params[PARAM_AIRCRAFT], Aircraft());
    add(params[PARAM_BATTLESHIPS], Battleship());
    add(params[PARAM_SUBMARINES], Submarine());
    add(params[PARAM_DESTROYERS], Destroyer());

    g_game->newGame();

    g_display = new Display(g_game);
    g_display->start();
    return 0;
}
