#ifndef BATTLESHIPS_PLAYER_H
#define BATTLESHIPS_PLAYER_H

#include <string>

#include "coord.h"
#include "field.h"
#include "ship.h"

// One side of a game: its own board, its record of the opponent's board and
// its own fleet, with every rule both kinds of player share.
class Player {
public:
    // Own board and record board; owned, null until addFields.
    Field* myField;
    Field* enemyField;

    // No boards, empty fleet.
    Player();
    Player& operator=(const Player&) = delete;
    virtual ~Player();

    // A heap copy of the same kind with the kind's own settings, sharing no
    // board or ship with this one.
    virtual Player* clone() const = 0;
    // Returns the kind's own per-game state to its start.
    virtual void null() = 0;
    // How many cells of the record board could still hold a part of ship if
    // pos were a miss; 0 for a kind that does not reason.
    virtual int testSituation(Ship* ship, Coord& pos) = 0;
    // Makes the player's own move against player; false when it does not
    // move by itself (or, for the computer, finds no cell to shoot at).
    virtual bool play(Player* player) = 0;

    // Replaces both boards with empty ones of this size.
    void addFields(const Coord& fieldSize);
    // Frees both boards; the player then has none.
    void deleteFields();
    // The first call copies the count templates as the fleet; later calls
    // ignore them and only reset every ship of the fleet.
    void addShips(Ship** add, int count);
    // The fleet itself, in fleet order.
    Ship** getShips();
    int getShipsCount() const;
    // The first unplaced ship in fleet order, or null.
    Ship* getShipToPlace() const;
    // The first / last ship in fleet order that is not destroyed, or null.
    Ship* getNotDestroyedShipBiggest() const;
    Ship* getNotDestroyedShipSmallest() const;
    // The fleet summary, e.g. "2x aircraft carrier, 3x battleship": per run of
    // same-named ships, those not placed (typeOfInfo 0) or not destroyed (1).
    std::string getShipsCount(int typeOfInfo) const;
    // Every ship placed / every ship destroyed (both true for an empty fleet).
    bool isReady() const;
    bool isLose() const;
    // The own board's setShip and isShipSetable.
    bool setShip(Ship* ship, const Coord& pos, bool direction);
    bool isShipSetable(Ship* ship, const Coord& pos, bool direction) const;
    // One shot at player's board on pos, recorded on the own record board;
    // false, with nothing changed, for a cell outside or shot at before.
    bool play(Coord& pos, Player* player);
    // The own board takes a shot: 1 miss, 2 hit; ship gets what it sank.
    int hit(Coord& pos, Ship*& ship);
    // Not 0 when pos is outside the own board or was shot at already.
    int isHit(Coord& pos) const;
    // One draw from rand(): an int from `from` to `to`, about evenly spread.
    int random(int from, int to);
    // Clears the own board and places the whole fleet at random, biggest
    // first; false when a ship finds no room (earlier ones stay placed).
    bool loadShips();

protected:
    // A copy starts without boards and without a fleet: only prototypes are
    // ever copied.
    Player(const Player& other);

private:
    Ship** ships;
    int shipsCount;
};

#endif
