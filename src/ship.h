#ifndef BATTLESHIPS_SHIP_H
#define BATTLESHIPS_SHIP_H

#include <memory>
#include <vector>

#include "coord.h"

// A ship: where it lies, whether it has been set on a board and how many hits
// it took. Only a board sets its position, direction and placed flag.
// Direction false runs along x from the start cell, true along y.
class Ship {
public:
    // Fresh: null start, no hits, not placed, horizontal.
    Ship();
    Ship(const Ship& other);
    Ship& operator=(const Ship&) = delete;

    // A heap copy of the same concrete type with every member copied; the
    // caller owns it.
    virtual Ship* clone() const = 0;
    // The type's name, a static text valid for the whole run.
    virtual const char* getName() const = 0;
    // The type's length in cells.
    virtual int getSize() const = 0;
    virtual ~Ship();

    // Back to fresh.
    void null();
    // Counts one more hit; there is no upper bound.
    void hit();
    // True once the hit count has reached the size.
    bool isDestroyed() const;
    bool isPlaced() const;
    void place(bool value);
    // The start cell itself, not a copy.
    Coord& getCoord();
    void coord(const Coord& pos);
    bool getDirection() const;
    void direction(bool value);
    int getHitted() const;

private:
    Coord start;
    int hitted;
    bool placed;
    bool directionValue;
};

// The four fleet types and the one-cell probe.
class Aircraft : public Ship {
public:
    Aircraft() = default;
    Aircraft(const Aircraft& other) = default;
    Ship* clone() const override;
    const char* getName() const override;
    int getSize() const override;
};

class Battleship : public Ship {
public:
    Battleship() = default;
    Battleship(const Battleship& other) = default;
    Ship* clone() const override;
    const char* getName() const override;
    int getSize() const override;
};

class Submarine : public Ship {
public:
    Submarine() = default;
    Submarine(const Submarine& other) = default;
    Ship* clone() const override;
    const char* getName() const override;
    int getSize() const override;
};

class Destroyer : public Ship {
public:
    Destroyer() = default;
    Destroyer(const Destroyer& other) = default;
    Ship* clone() const override;
    const char* getName() const override;
    int getSize() const override;
};

class Boat : public Ship {
public:
    Boat() = default;
    Boat(const Boat& other) = default;
    Ship* clone() const override;
    const char* getName() const override;
    int getSize() const override;
};

// A fleet's templates: counts[0] aircraft carriers, then battleships,
// submarines and destroyers, in that order, no more than limit in all.
std::vector<std::unique_ptr<Ship>> fleetOf(const int counts[4], int limit);

#endif
