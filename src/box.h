#ifndef BATTLESHIPS_BOX_H
#define BATTLESHIPS_BOX_H

// Rectangles of window pixels and their merging, for whatever decides or
// draws parts of a frame; no drawing here.

#include <algorithm>
#include <vector>

// A rectangle of window pixels, origin at the top-left corner, y downwards.
struct Box {
    float left = 0, top = 0, right = 0, bottom = 0;

    bool empty() const { return !(left < right && top < bottom); }
    float area() const { return empty() ? 0 : (right - left) * (bottom - top); }
    bool overlaps(const Box& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    // The part of it inside the other box.
    Box cut(const Box& o) const {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
    bool operator==(const Box& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool contains(const Box& o) const {
        return left <= o.left && top <= o.top && right >= o.right && bottom >= o.bottom;
    }
    // The smallest box holding both.
    Box joined(const Box& other) const;
    // The same box grown by margin on every side.
    Box grown(float margin) const { return {left - margin, top - margin, right + margin, bottom + margin}; }
};

// The boxes cut to `within`; overlapping ones become one, and more than
// eight one around them all.
std::vector<Box> merged(std::vector<Box> boxes, const Box& within);

// Where a line of the small font, width pixels wide with its baseline
// starting at (x, y), may set pixels: the font reaches 12 pixels above its
// baseline and 3 below; the box has a margin around that.
Box textReach(float x, float y, float width);

// A grid of cells, each cell pixels across, from its edge at 0: the first
// cell, less back more, that may reach a box starting at edge, clamped to
// what an int holds; and the last one that may reach a box ending at edge,
// at most count - 1, -1 when the box ends before the grid.
int firstCellFrom(float edge, float cell, int back);
int lastCellTo(float edge, float cell, int count);

#endif
