#ifndef BATTLESHIPS_COORD_H
#define BATTLESHIPS_COORD_H

#include <ostream>

// A cell position: x is the column, y the row, both counted from 0.
// (-1, -1) is the null coordinate: "no position".
class Coord {
public:
    int x;
    int y;

    // The null coordinate (-1, -1).
    Coord();
    Coord(int x, int y);
    Coord(const Coord& other) = default;
    Coord& operator=(const Coord& other) = default;

    // True when both components are equal.
    bool operator==(const Coord& other) const;
    // Always the negation of ==.
    bool operator!=(const Coord& other) const;

    // Makes this the null coordinate.
    void null();
    // True only for (-1, -1); (-1, 0) and (0, -1) are ordinary positions.
    bool isNull() const;
};

// Writes "3x4" for (3, 4), no spaces, no line end.
std::ostream& operator<<(std::ostream& out, const Coord& pos);

#endif
