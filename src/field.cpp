#include "field.h"

Field::Field(const Coord& size) : w(size.x), h(size.y), ships(nullptr), array(nullptr) {
    int rows = h > 0 ? h : 0;
    int cols = w > 0 ? w : 0;
    ships = new Ship**[rows];
    array = new int*[rows];
    for (int y = 0; y < rows; ++y) {
        ships[y] = new Ship*[cols]();
        array[y] = new int[cols]();
    }
}

Field::~Field() {
    int rows = h > 0 ? h : 0;
    for (int y = 0; y < rows; ++y) {
        delete[] ships[y];
        delete[] array[y];
    }
    delete[] ships;
    delete[] array;
    for (Ship* copy : owned) delete copy;
}

void Field::null() {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            ships[y][x] = nullptr;
            array[y][x] = 0;
        }
    }
    for (Ship* copy : owned) delete copy;
    owned.clear();
}

bool Field::inRange(long long x, long long y) const {
    return x >= 0 && x < w && y >= 0 && y < h;
}

bool Field::isOutOfRange(int x, int y) const {
    return !inRange(x, y);
}

int Field::get(int x, int y) const {
    return inRange(x, y) ? array[y][x] : 0;
}

int Field::get(const Coord& pos) const {
    return get(pos.x, pos.y);
}

bool Field::set(Coord& pos, int num) {
    if (!inRange(pos.x, pos.y)) return false;
    array[pos.y][pos.x] = num;
    return true;
}

Ship* Field::getShip(int x, int y) const {
    return inRange(x, y) ? ships[y][x] : nullptr;
}

Ship* Field::getShip(Coord& pos) const {
    return getShip(pos.x, pos.y);
}

int Field::isHit(int x, int y) const {
    if (!inRange(x, y)) return 1;
    int state = array[y][x];
    return state >= 1 ? state : 0;
}

int Field::isHit(Coord& pos) const {
    return isHit(pos.x, pos.y);
}

// The spacing rule for a ship of `size` cells starting at (x, y). The cells
// beside the board read as empty, so ships may lie along the edges.
bool Field::setableAt(int size, int x, int y, bool direction) const {
    if (!inRange(x, y)) return false;
    const long long dx = direction ? 0 : 1;
    const long long dy = direction ? 1 : 0;
    auto occupied = [this](long long cx, long long cy) {
        return inRange(cx, cy) && ships[cy][cx] != nullptr;
    };
    for (int k = 0; k < size; ++k) {
        const long long cx = x + dx * k;
        const long long cy = y + dy * k;
        if (!inRange(cx, cy) || ships[cy][cx] != nullptr) return false;
        // Behind the start and beyond the end: the three cells across the
        // ship's line; beside every cell: its two side neighbours.
        if (k == 0 &&
            (occupied(cx - dx - dy, cy - dy - dx) || occupied(cx - dx, cy - dy) ||
             occupied(cx - dx + dy, cy - dy + dx)))
            return false;
        if (k == size - 1 &&
            (occupied(cx + dx - dy, cy + dy - dx) || occupied(cx + dx, cy + dy) ||
             occupied(cx + dx + dy, cy + dy + dx)))
            return false;
        if (occupied(cx - dy, cy - dx) || occupied(cx + dy, cy + dx)) return false;
    }
    return true;
}

bool Field::isShipSetable(Ship* ship, const Coord& pos, bool direction) const {
    if (ship == nullptr) return false;
    return setableAt(ship->getSize(), pos.x, pos.y, direction);
}

bool Field::setShip(Ship* ship, const Coord& pos, bool direction) {
    if (!isShipSetable(ship, pos, direction)) return false;
    ship->coord(pos);
    ship->direction(direction);
    const int n = ship->getSize();
    for (int k = 0; k < n; ++k) {
        if (direction)
            ships[pos.y + k][pos.x] = ship;
        else
            ships[pos.y][pos.x + k] = ship;
    }
    ship->place(true);
    return true;
}

int Field::hit(Coord& pos, Ship*& sendShip) {
    sendShip = nullptr;
    int already = isHit(pos);
    if (already != 0) return already;
    Ship* ship = ships[pos.y][pos.x];
    if (ship != nullptr) {
        ship->hit();
        array[pos.y][pos.x] = 2;
        if (ship->isDestroyed()) sendShip = ship;
        return 2;
    }
    array[pos.y][pos.x] = 1;
    return 1;
}

void Field::fire(Coord& pos, int status, Ship*& ship) {
    set(pos, status);
    if (ship == nullptr) return;
    Ship* copy = ship->clone();
    if (setShip(copy, ship->getCoord(), ship->getDirection()))
        owned.push_back(copy);
    else
        delete copy;
}

bool Field::isTargetable(const Coord& pos) const {
    if (!inRange(pos.x, pos.y) || array[pos.y][pos.x] != 0) return false;
    return setableAt(1, pos.x, pos.y, false);
}

bool Field::isShipTargetable(Ship* ship, const Coord& pos) const {
    if (ship == nullptr || !inRange(pos.x, pos.y) || array[pos.y][pos.x] != 0) return false;
    return isShipTargetable(ship, pos, false) || isShipTargetable(ship, pos, true);
}

bool Field::isShipTargetable(Ship* ship, const Coord& pos, bool direction) const {
    if (ship == nullptr || !inRange(pos.x, pos.y)) return false;
    return targetableAt(ship->getSize(), pos.x, pos.y, direction);
}

// Tries every run of `size` cells along the direction that contains (x, y),
// from the one ending there to the one starting there. A run may hold hits
// but no miss and no sunk ship, and must keep the spacing rule.
bool Field::targetableAt(int size, int x, int y, bool direction) const {
    const long long a = direction ? y : x;
    for (long long s = a - (size - 1); s <= a; ++s) {
        bool rejected = false;
        for (int k = 0; k < size && !rejected; ++k) {
            const long long cx = direction ? x : s + k;
            const long long cy = direction ? s + k : y;
            if (!inRange(cx, cy) || array[cy][cx] == 1 || ships[cy][cx] != nullptr) rejected = true;
        }
        if (rejected) continue;
        const int sx = direction ? x : static_cast<int>(s);
        const int sy = direction ? static_cast<int>(s) : y;
        if (setableAt(size, sx, sy, direction)) return true;
    }
    return false;
}
