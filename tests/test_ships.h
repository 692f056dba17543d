#ifndef BATTLESHIPS_TESTS_TEST_SHIPS_H
#define BATTLESHIPS_TESTS_TEST_SHIPS_H

#include "ship.h"

// A fresh heap ship of the type with this length (1 is the one-cell Boat).
inline Ship* makeShip(int size) {
    switch (size) {
    case 5: return new Aircraft;
    case 4: return new Battleship;
    case 3: return new Submarine;
    case 2: return new Destroyer;
    default: return new Boat;
    }
}

#endif
