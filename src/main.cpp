#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <new>

#include "battleships.h"
#include "board_memory.h"
#include "computer.h"
#include "display.h"
#include "human.h"
#include "params.h"

Battleships* g_game = nullptr;
Display* g_display = nullptr;

void afterExit() {
    std::cout << "Exiting Battleship game..." << std::endl;
    if (g_game != nullptr) delete g_game;
    delete g_display;
}

namespace {

// Everything up to the event loop: the controller, its templates, the first
// game and the window.
void startGame(const int params[PARAM_COUNT]) {
    const Coord size(params[PARAM_WIDTH], params[PARAM_HEIGHT]);
    {
        Human human;
        Computer computer(params[PARAM_DIFFICULTY] != 0);
        g_game = new Battleships(size, human, computer);
    }

    const int fleet[4] = {params[PARAM_AIRCRAFT], params[PARAM_BATTLESHIPS], params[PARAM_SUBMARINES],
                          params[PARAM_DESTROYERS]};
    addFleet(*g_game, fleet);

    g_game->newGame();

    g_display = new Display(g_game);
}

}  // namespace

int main(int argc, char** argv) {
    std::cout << "Starting Battleship game..." << std::endl;
    srand(static_cast<unsigned>(time(nullptr)));
    atexit(afterExit);

    int params[PARAM_COUNT];
    readParams(argc, argv, params);

    // Refuse a board that cannot be played to the end before anything is
    // allocated.
    const int width = params[PARAM_WIDTH];
    const int height = params[PARAM_HEIGHT];
    const BoardMemory memory = boardMemory(width, height);
    if (!memory.fits()) {
        std::cerr << "Battleship game: " << boardRefusal(width, height, memory) << std::endl;
        exit(1);
    }

    try {
        startGame(params);
    } catch (const std::bad_alloc&) {
        // Should the estimate ever fall short: a line that says why, not an abort.
        std::cerr << "Battleship game: not enough memory for a board of " << width << " x " << height
                  << " cells." << std::endl;
        exit(1);
    }
    g_display->start();
    return 0;
}
