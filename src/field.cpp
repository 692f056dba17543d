#include "field.h"

#include <algorithm>

namespace {

unsigned long long nextSerial = 0;

// Ships inside columns x0..x1 and rows y0..y1, clipped to the board.
int shipsIn(const std::vector<int>& sums, int w, int h, int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, w - 1);
    y1 = std::min(y1, h - 1);
    if (x0 > x1 || y0 > y1) return 0;
    const long long stride = w + 1;
    return sums[(y1 + 1) * stride + x1 + 1] - sums[y0 * stride + x1 + 1] - sums[(y1 + 1) * stride + x0] +
           sums[y0 * stride + x0];
}

}  // namespace

Field::Field(const Coord& size)
    : w(size.x), h(size.y), ships(nullptr), array(nullptr), serial(++nextSerial) {
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
    ++revision;
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
    ++revision;
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
    ++revision;
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
    ++revision;
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

std::vector<int> Field::shipSums() const {
    const long long stride = w + 1;
    std::vector<int> sums(static_cast<size_t>(stride * (h + 1)), 0);
    for (int y = 0; y < h; ++y) {
        int row = 0;
        for (int x = 0; x < w; ++x) {
            row += ships[y][x] != nullptr;
            sums[(y + 1) * stride + x + 1] = sums[y * stride + x + 1] + row;
        }
    }
    return sums;
}

// A run of cells keeps the spacing rule exactly when the rectangle one cell
// around it holds no ship, so one table of running sums answers every place.
void Field::setablePlaces(int size, std::vector<Coord>& horizontal, std::vector<Coord>& vertical) const {
    if (size < 1) return;
    const std::vector<int> sums = shipSums();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (x <= w - size && shipsIn(sums, w, h, x - 1, y - 1, x + size, y + 1) == 0)
                horizontal.emplace_back(x, y);
            if (y <= h - size && shipsIn(sums, w, h, x - 1, y - 1, x + 1, y + size) == 0)
                vertical.emplace_back(x, y);
        }
    }
}

int TargetMap::runsH(int y, int a, int b) const {
    a = std::max(a, 0);
    b = std::min(b, w - 1);
    if (a > b) return 0;
    const long long row = static_cast<long long>(y) * (w + 1);
    return startsH[row + b + 1] - startsH[row + a];
}

int TargetMap::runsV(int x, int a, int b) const {
    a = std::max(a, 0);
    b = std::min(b, h - 1);
    if (a > b) return 0;
    const long long column = static_cast<long long>(x) * (h + 1);
    return startsV[column + b + 1] - startsV[column + a];
}

// A run is open when none of its cells is a miss or holds a ship and the
// spacing rule lets the ship lie there: the windows isShipTargetable tries.
void Field::targetMap(int size, TargetMap& map) const {
    map.size = size;
    map.w = w;
    map.h = h;
    const size_t cells = static_cast<size_t>(w) * h;
    map.startsH.assign(static_cast<size_t>(w + 1) * h, 0);
    map.startsV.assign(static_cast<size_t>(h + 1) * w, 0);
    map.through.assign(cells, 0);
    map.targetable.assign(cells, 0);
    map.targets = 0;
    if (size < 1) return;

    openRuns(size, map);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            map.through[i] = map.runsH(y, x - size + 1, x) + map.runsV(x, y - size + 1, y);
            map.targetable[i] = array[y][x] == 0 && map.through[i] > 0;
            map.targets += map.targetable[i];
        }
    }
}

// The map's counts of open runs, per row and per column, as running sums:
// a run is open where it holds no miss and no ship lies on or beside it.
void Field::openRuns(int size, TargetMap& map) const {
    const size_t cells = static_cast<size_t>(w) * h;
    const std::vector<int> sums = shipSums();
    // Cells without a miss ending at the current one, per row and per column.
    std::vector<int> clearAbove(static_cast<size_t>(w), 0);
    std::vector<unsigned char> openV(cells, 0);
    for (int y = 0; y < h; ++y) {
        int clearLeft = 0;
        const long long row = static_cast<long long>(y) * (w + 1);
        for (int x = 0; x < w; ++x) {
            const bool miss = array[y][x] == 1;
            clearLeft = miss ? 0 : clearLeft + 1;
            clearAbove[x] = miss ? 0 : clearAbove[x] + 1;
            // The run ending here started at x - size + 1.
            bool open = false;
            const int s = x - size + 1;
            if (s >= 0 && clearLeft >= size) open = shipsIn(sums, w, h, s - 1, y - 1, x + 1, y + 1) == 0;
            if (s >= 0) map.startsH[row + s + 1] = map.startsH[row + s] + open;
            const int t = y - size + 1;
            if (t >= 0 && clearAbove[x] >= size)
                openV[static_cast<size_t>(t) * w + x] = shipsIn(sums, w, h, x - 1, t - 1, x + 1, y + 1) == 0;
        }
        // Starts too close to the right edge open no run.
        for (int s = std::max(w - size + 1, 0); s < w; ++s) map.startsH[row + s + 1] = map.startsH[row + s];
    }
    for (int x = 0; x < w; ++x) {
        const long long column = static_cast<long long>(x) * (h + 1);
        for (int y = 0; y < h; ++y)
            map.startsV[column + y + 1] = map.startsV[column + y] + openV[static_cast<size_t>(y) * w + x];
    }
}
