#include "human.h"

Human::Human() : Player() {
    null();
}

Human::Human(const Human& other) : Player(other) {}

Human::~Human() = default;

Player* Human::clone() const {
    return new Human(*this);
}

void Human::null() {}

int Human::testSituation(Ship*, Coord&) {
    return 0;
}

bool Human::play(Player*) {
    return false;
}
