#ifndef BATTLESHIPS_TESTS_TEST_SHIPS_H
#define BATTLESHIPS_TESTS_TEST_SHIPS_H

#include <memory>
#include <vector>

#include "field.h"
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

// A fleet's templates, biggest type first as the game lists them, owned,
// and the plain pointers that addShips takes.
struct FleetTemplates {
    std::vector<std::unique_ptr<Ship>> owned;
    std::vector<Ship*> ships;

    FleetTemplates(int carriers, int battleships, int submarines, int destroyers) {
        const int counts[4] = {carriers, battleships, submarines, destroyers};
        owned = fleetOf(counts, carriers + battleships + submarines + destroyers);
        for (const auto& ship : owned) ships.push_back(ship.get());
    }
    int count() const { return static_cast<int>(ships.size()); }
};

// A destroyer that counts its live instances, so that copies made and freed
// show without a leak checker.
class CountedDestroyer : public Destroyer {
public:
    inline static int live = 0;
    CountedDestroyer() { ++live; }
    CountedDestroyer(const CountedDestroyer& other) : Destroyer(other) { ++live; }
    ~CountedDestroyer() override { --live; }
    Ship* clone() const override { return new CountedDestroyer(*this); }
};

// Every cell of a board, row by row: its state and whether a ship is there.
inline std::vector<int> cellStates(const Field* f) {
    std::vector<int> all;
    for (int y = 0; y < f->h; ++y)
        for (int x = 0; x < f->w; ++x) {
            all.push_back(f->get(x, y));
            all.push_back(f->getShip(x, y) != nullptr);
        }
    return all;
}

// How many cells of a board were shot at.
inline int shotCount(const Field* f) {
    int n = 0;
    for (int y = 0; y < f->h; ++y)
        for (int x = 0; x < f->w; ++x) n += f->get(x, y) != 0;
    return n;
}

#endif
