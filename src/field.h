#ifndef BATTLESHIPS_FIELD_H
#define BATTLESHIPS_FIELD_H

#include <vector>

#include "coord.h"
#include "ship.h"

// Where a ship of one length could still lie on a record board, for every
// cell at once: the answers of Field::isShipTargetable, plus what it takes to
// tell how one more miss would change them.
struct TargetMap {
    int size = 0;
    int w = 0;
    int h = 0;
    // Per row, the number of open horizontal runs starting left of x:
    // startsH[y * (w + 1) + x]; per column likewise: startsV[x * (h + 1) + y].
    std::vector<int> startsH;
    std::vector<int> startsV;
    // Per cell (y * w + x): open runs through it, both directions together.
    std::vector<int> through;
    // Per cell: isShipTargetable's answer.
    std::vector<unsigned char> targetable;
    // How many cells are targetable.
    long long targets = 0;

    // Open horizontal runs in row y starting from column a to b (clipped).
    int runsH(int y, int a, int b) const;
    // Open vertical runs in column x starting from row a to b (clipped).
    int runsV(int x, int a, int b) const;
};

// One board of w x h cells: a ship layer (which ship covers a cell) and a
// state layer (0 not shot at, 1 missed, 2 hit). Holds the spacing rule, the
// shot bookkeeping and the targeting queries. A cell outside the board is
// never an error: every query answers a fixed neutral value for it.
// The board points to the ships set on it and owns only the copies of sunk
// ships that fire() makes.
class Field {
public:
    int w;
    int h;

    // A board of size.x columns by size.y rows, every cell empty.
    // Callers pass a size of at least 1 x 1.
    explicit Field(const Coord& size);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;
    virtual ~Field();

    // Every cell back to empty (no ship, state 0); frees the sunk-ship copies.
    void null();

    bool isOutOfRange(int x, int y) const;

    // The cell's state; 0 outside the board.
    int get(int x, int y) const;
    int get(const Coord& pos) const;
    // Stores num as the cell's state; false, with nothing stored, outside.
    bool set(Coord& pos, int num);

    // The ship covering the cell; null outside the board.
    Ship* getShip(int x, int y) const;
    Ship* getShip(Coord& pos) const;

    // 1 outside the board; otherwise the state when it is 1 or more, else 0.
    int isHit(int x, int y) const;
    int isHit(Coord& pos) const;

    // Whether the ship may start at pos in this direction: every cell on the
    // board and free, and no ship on any of their eight neighbours.
    bool isShipSetable(Ship* ship, const Coord& pos, bool direction) const;
    // Sets the ship there when isShipSetable allows it; the state layer is
    // not touched.
    bool setShip(Ship* ship, const Coord& pos, bool direction);

    // The opponent's shot at this board: 1 miss, 2 hit (a cell shot before
    // or outside answers as isHit and nothing changes). sendShip gets the
    // ship that this very shot sank, else null.
    int hit(Coord& pos, Ship*& sendShip);
    // Records the answer to one's own shot; for a sunk ship also sets a copy
    // of it, owned by this board, at the ship's own position.
    void fire(Coord& pos, int status, Ship*& ship);

    // Whether some ship could still cover this unshot cell: no sunk ship on
    // it or next to it.
    bool isTargetable(const Coord& pos) const;
    // Whether a ship of this length could still lie across the unshot cell
    // pos, horizontally or vertically.
    bool isShipTargetable(Ship* ship, const Coord& pos) const;
    // The same for one direction, with pos itself allowed to be a hit.
    bool isShipTargetable(Ship* ship, const Coord& pos, bool direction) const;

    // Every place, in row-by-row order, where isShipSetable would let a ship
    // of this length start horizontally and vertically.
    void setablePlaces(int size, std::vector<Coord>& horizontal, std::vector<Coord>& vertical) const;
    // isShipTargetable for a ship of this length on every cell, at once.
    void targetMap(int size, TargetMap& map) const;
    // Changes whenever a cell's state or ship changes; with getSerial it
    // tells whether an answer read from this board earlier still holds.
    unsigned long long getRevision() const { return revision; }
    // Unique to this board for the whole run.
    unsigned long long getSerial() const { return serial; }

private:
    bool inRange(long long x, long long y) const;
    bool setableAt(int size, int x, int y, bool direction) const;
    bool targetableAt(int size, int x, int y, bool direction) const;
    // Ships in every top-left rectangle: (w + 1) x (h + 1) running sums.
    std::vector<int> shipSums() const;
    void openRuns(int size, TargetMap& map) const;

    Ship*** ships;
    int** array;
    std::vector<Ship*> owned;
    unsigned long long serial;
    unsigned long long revision = 0;
};

#endif
