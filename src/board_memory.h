#ifndef BATTLESHIPS_BOARD_MEMORY_H
#define BATTLESHIPS_BOARD_MEMORY_H

#include <string>

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
// /proc and /sys are read below root, so a test can hand it a tree of its
// own; the resource limits are always this process's.
BoardMemory boardMemory(int width, int height, const std::string& root = "/");

// "a board of W x H cells needs about N MiB of memory, but only M MiB are
// available." (no line end), for a board that does not fit.
std::string boardRefusal(int width, int height, const BoardMemory& memory);

#endif
