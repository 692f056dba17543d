#ifndef BATTLESHIPS_PARAMS_H
#define BATTLESHIPS_PARAMS_H

#include <string>

// Slots of the game's command line, in argument order.
enum ParamSlot {
    PARAM_WIDTH = 0,
    PARAM_HEIGHT,
    PARAM_AIRCRAFT,
    PARAM_BATTLESHIPS,
    PARAM_SUBMARINES,
    PARAM_DESTROYERS,
    PARAM_DIFFICULTY,
    PARAM_COUNT
};

// Fills params with width, height, the counts of aircraft carriers,
// battleships, submarines and destroyers, and the difficulty (0 Easy, else
// Hard). Defaults 14 14 2 3 4 3 1; each of argv[1..7] that is given is read as
// an unsigned int the way a string stream reads it and stored as an int; an
// empty or blank argument keeps its default; later arguments are ignored.
// Width and height come out at least 1; nothing is ever rejected or printed.
void readParams(int argc, char** argv, int params[7]);

// The most the rules allocate at one time in a whole game on a board of
// width x height (at least 1 x 1), at either level and over any number of new
// games: the four boards, the placement lists, the computer's tables and its
// per-turn candidate lists, with the allocator's own overhead.
double gameBytes(int width, int height);

// A board measured against the memory this process may have.
struct BoardMemory {
    double needed = 0;     // bytes, the window and its graphics driver included
    double available = 0;  // bytes, under the limit that binds hardest
    bool fits() const { return needed <= available; }
};

// Whether a whole game on a board of width x height can be played to the end
// under the least of: the machine's available memory, the process's address
// space and data limits, and its control group's limit less the group's use.
// Needs no window and allocates nothing in proportion to the board, so the
// launcher and the game answer alike for the same texts and limits.
BoardMemory boardMemory(int width, int height);

// "a board of W x H cells needs about N MiB of memory, but only M MiB are
// available." (no line end), for a board that does not fit.
std::string boardRefusal(int width, int height, const BoardMemory& memory);

#endif
