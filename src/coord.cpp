#include "coord.h"

Coord::Coord() : x(-1), y(-1) {}

Coord::Coord(int x, int y) : x(x), y(y) {}

bool Coord::operator==(const Coord& other) const {
    return x == other.x && y == other.y;
}

bool Coord::operator!=(const Coord& other) const {
    return !(*this == other);
}

void Coord::null() {
    x = -1;
    y = -1;
}

bool Coord::isNull() const {
    return x == -1 && y == -1;
}

std::ostream& operator<<(std::ostream& out, const Coord& pos) {
    return out << pos.x << 'x' << pos.y;
}
