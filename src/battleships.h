#ifndef BATTLESHIPS_BATTLESHIPS_H
#define BATTLESHIPS_BATTLESHIPS_H

#include "coord.h"
#include "player.h"
#include "ship.h"

// The game controller: owns both players and the ship templates, deals each
// game and plays the exchanges of shots, deciding the winner.
class Battleships {
public:
    // Player #0, whose moves come from outside (the human); owned.
    Player* mainPlayer;
    // Player #1, which moves by itself (the computer); owned.
    Player* secondPlayer;
    // Null while no one has won, else one of the two players.
    Player* winPlayer;

    // Keeps clones of both prototypes and the board size; no templates yet.
    Battleships(const Coord& x, const Player& p1, const Player& p2);
    Battleships(const Battleships&) = delete;
    Battleships& operator=(const Battleships&) = delete;
    virtual ~Battleships();

    // The most templates a game keeps.
    static constexpr int maxShips = 100;

    // Stores a copy of x as the next template; past maxShips it does nothing.
    void addShip(const Ship& x);
    // Deals a new game: the second player's fleet placed at random, the board
    // grown by one column and row (printing "Field was expanded +1.") until it
    // fits; the main player gets boards of the same size and an unplaced
    // fleet; no winner.
    void newGame();
    // One exchange for a click on cell pos of the record board: the main
    // player's shot, then the second player's answer. False only when the
    // second player found no cell to shoot at; true for a refused cell, an
    // exchange played, a win and a game already decided.
    bool play(Player* player, Coord pos);

    // The current board size, grown for as long as the fleet did not fit.
    const Coord& getFieldSize() const;
    int getShipsCount() const;

private:
    // Sets the winner's ships afloat on the loser's record board.
    void showShips(Player* from, Player* to);

    Coord fieldSize;
    Ship** ships;
    int shipsCount;
};

// Adds a fleet of these counts (as fleetOf takes them) to the game's
// templates, up to maxShips; counts in the billions cost nothing more.
void addFleet(Battleships& game, const int counts[4]);

#endif
