#ifndef BATTLESHIPS_FRAME_CHANGES_H
#define BATTLESHIPS_FRAME_CHANGES_H

// The frame tracking: what the window shows, what changed since, which
// boxes a part frame redraws or whether the frame must be whole, and what
// the back buffer holds between frames. No drawing here: text extents come
// in measured, so every decision can be tried without a window.

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
    // The window's size.
    float width = 0, height = 0;

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

// What the window showed and what the back buffer holds, frame after frame,
// and the decisions taken from them.
class FrameTracker {
public:
    FrameTracker() = default;
    FrameTracker(const FrameTracker&) = delete;
    FrameTracker& operator=(const FrameTracker&) = delete;

    // The next frame is whole: a new layout, a key.
    void wholeDue() { whole = true; }
    // The boards' cells may have changed: a click.
    void cellsMayHaveChanged() { cellsMayChange = true; }
    // Whether the next look must read the boards' cells; kept says whether
    // the window still shows the last frame.
    bool cellsDue(bool kept) const { return cellsMayChange || whole || !was.valid || !kept; }
    // Takes now (its cells read if cellsDue said so) as what the window
    // shows. True with the boxes to redraw, cut to the window and merged,
    // when a part of the frame will do (none: nothing changed); false when
    // the whole frame is due, or the boxes would cover 60% of the window.
    bool next(Shown now, bool kept, const FrameLayout& at, std::vector<Box>& boxes);
    // What the window shows, as last taken.
    const Shown& shown() const { return was; }

    // How a box of a part frame is drawn: the scene under a clip; the
    // overlay laid over the picture without it, which the back buffer
    // holds or which is drawn first; or that picture, kept, put back.
    enum class BoxWork { scene, layOverlay, drawPlainThenLayOverlay, putBackPlain };
    // The work for a box; overlay is the overlay's box within the window,
    // and onTop whether nothing drawn after the own board reaches it.
    BoxWork plan(const Box& box, const Box& overlay, bool onTop) const;
    // Notes what the box's work left in the back buffer.
    void drawn(BoxWork work, const Box& box, const Box& overlay);
    // A whole frame was drawn: the back buffer holds the overlay, if shown.
    void drewWhole() { backPlain = plainKept = false; }

private:
    Shown was;
    bool whole = true;
    bool cellsMayChange = true;
    // Whether the back buffer holds the picture without the overlay in this
    // box, as the window shows it; whether a copy of it is kept for the
    // overlay laid over that box to be taken away again.
    bool backPlain = false;
    Box backPlainBox;
    bool plainKept = false;
    Box plainKeptBox;
};

#endif
