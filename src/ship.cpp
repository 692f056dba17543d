#include "ship.h"

Ship::Ship() : start(), hitted(0), placed(false), directionValue(false) {}

Ship::Ship(const Ship& other)
    : start(other.start), hitted(other.hitted), placed(other.placed),
      directionValue(other.directionValue) {}

Ship::~Ship() = default;

void Ship::null() {
    start.null();
    hitted = 0;
    placed = false;
    directionValue = false;
}

void Ship::hit() {
    ++hitted;
}

bool Ship::isDestroyed() const {
    return hitted >= getSize();
}

bool Ship::isPlaced() const {
    return placed;
}

void Ship::place(bool value) {
    placed = value;
}

Coord& Ship::getCoord() {
    return start;
}

void Ship::coord(const Coord& pos) {
    start = pos;
}

bool Ship::getDirection() const {
    return directionValue;
}

void Ship::direction(bool value) {
    directionValue = value;
}

int Ship::getHitted() const {
    return hitted;
}

Ship* Aircraft::clone() const { return new Aircraft(*this); }
const char* Aircraft::getName() const { return "aircraft carrier"; }
int Aircraft::getSize() const { return 5; }

Ship* Battleship::clone() const { return new Battleship(*this); }
const char* Battleship::getName() const { return "battleship"; }
int Battleship::getSize() const { return 4; }

Ship* Submarine::clone() const { return new Submarine(*this); }
const char* Submarine::getName() const { return "submarine"; }
int Submarine::getSize() const { return 3; }

Ship* Destroyer::clone() const { return new Destroyer(*this); }
const char* Destroyer::getName() const { return "destroyer"; }
int Destroyer::getSize() const { return 2; }

Ship* Boat::clone() const { return new Boat(*this); }
const char* Boat::getName() const { return "boat"; }
int Boat::getSize() const { return 1; }

std::vector<std::unique_ptr<Ship>> fleetOf(const int counts[4], int limit) {
    const Aircraft aircraft;
    const Battleship battleship;
    const Submarine submarine;
    const Destroyer destroyer;
    const Ship* types[4] = {&aircraft, &battleship, &submarine, &destroyer};
    std::vector<std::unique_ptr<Ship>> fleet;
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < counts[t] && static_cast<int>(fleet.size()) < limit; ++i)
            fleet.emplace_back(types[t]->clone());
    return fleet;
}
