#ifndef BATTLESHIPS_COMPUTER_H
#define BATTLESHIPS_COMPUTER_H

#include <memory>
#include <vector>

#include "player.h"

// The player that chooses its own shots, at Easy or Hard level. It reasons
// only from its record board and the sizes of the opponent's ships afloat,
// and finishes a ship it has hit before it hunts for the next.
class Computer : public Player {
public:
    // Prints "Computer difficulty is set to: Hard" (or "Easy") once.
    explicit Computer(bool isHard);
    // Keeps the level and the memory; prints nothing.
    Computer(const Computer& other);
    ~Computer() override;

    Player* clone() const override;
    // Forgets the pending hit; the level stays.
    void null() override;
    // How many unshot cells of the record board could still hold a part of
    // ship if pos were a miss. Leaves the record board as it was; 0 for a
    // null ship.
    int testSituation(Ship* ship, Coord& pos) override;
    // Chooses and fires one shot at player; false, with nothing changed,
    // when no cell is left to shoot at.
    bool play(Player* player) override;
    using Player::play;

    // The cells the next play() would choose among, in order, before the
    // draw: what the level and the memory make of the record board.
    std::vector<Coord> candidates(Player* player);

    bool getIsHard() const;
    const Coord& getLastHit() const;
    int getLastHitDirection() const;

private:
    // What the record board allows for ship, read once and kept while the
    // board and the ship's length stay the same.
    const TargetMap& targetMap(Ship* ship);
    // testSituation's answer from the map.
    int score(const TargetMap& map, const Coord& pos) const;
    void huntCandidates(Ship* biggest, std::vector<Coord>& toShoot);
    void followCandidates(Ship* smallest, std::vector<Coord>& toShoot) const;
    void walk(int dx, int dy, std::vector<Coord>& toShoot) const;

    Coord lastHit;
    int lastHitDirection;
    bool isHard;

    std::unique_ptr<TargetMap> map;
    unsigned long long mapSerial = 0;
    unsigned long long mapRevision = 0;
};

#endif
