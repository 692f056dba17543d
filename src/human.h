#ifndef BATTLESHIPS_HUMAN_H
#define BATTLESHIPS_HUMAN_H

#include "player.h"

// The player whose shots come from outside (mouse clicks through the
// controller); it has no per-game state and no reasoning of its own.
class Human : public Player {
public:
    Human();
    Human(const Human& other);
    ~Human() override;

    // A new Human without boards or fleet.
    Player* clone() const override;
    // Nothing to reset.
    void null() override;
    // Always 0; touches nothing.
    int testSituation(Ship* ship, Coord& pos) override;
    // Always false: a human never moves by itself.
    bool play(Player* player) override;
    using Player::play;
};

#endif
