#ifndef BATTLESHIPS_FRAME_CHANGES_H
#define BATTLESHIPS_FRAME_CHANGES_H

#include <cstdint>
#include <string>
#include <vector>

#include "box.h"
#include "field.h"
#include "player.h"

// Where the window's parts lie, as far as the boxes of a change need it.
struct FrameLayout {
    float ownLeft = 0, recordLeft = 0, top = 0;
    float columnW = 0, rowH = 0;

    // The cells from (x, y), dx wide and dy high, of the board whose left
    // edge is at left, with the margin their drawing may spill over.
    Box cells(float left, int x, int y, int dx, int dy) const;
    // Where the boards' summaries ("Ships to set:" and the like) are drawn.
    float summaryX(float left) const { return left + columnW / 4; }
    float summaryY() const { return top - 13; }
};

// What the window shows, as far as a change of it must be redrawn.
struct Shown {
    bool valid = false;
    bool ready = false;
    bool tooSmall = false;
    Player* winner = nullptr;
    const char* error = nullptr;
    Field* own = nullptr;
    Field* record = nullptr;
    int w = 0, h = 0;
    std::string ownSummary, enemySummary;
    float ownSummaryWidth = 0, enemySummaryWidth = 0;  // in pixels, as drawn
    bool mark = false;
    Box markBox;
    int markKind = 0;
    bool overlay = false;
    bool hintsChanged = false;
    Box overlayBox;
    // Per cell: its state, and the ship that starts there.
    std::vector<std::uint8_t> ownCells, recordCells;
};

// Fills codes with one byte per cell of the field, row by row: its state,
// and the size, direction and state of a ship starting there.
void readCells(const Field& field, std::vector<std::uint8_t>& codes);

// Adds the boxes of the window that differ between what it showed (was) and
// what it should show now; false when the whole frame must be drawn. The
// boards' cells are compared only when both were read (cells).
bool changedBoxes(const Shown& was, const Shown& now, bool cells, const FrameLayout& at,
                  std::vector<Box>& boxes);

#endif
