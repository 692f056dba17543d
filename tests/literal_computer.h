#ifndef BATTLESHIPS_TESTS_LITERAL_COMPUTER_H
#define BATTLESHIPS_TESTS_LITERAL_COMPUTER_H

// The computer's reasoning and the random placement written the plain way:
// every score a full scan of the record board with the trial miss set, every
// place tested with isShipSetable. Slow, obviously right; the fast versions
// in the game must decide exactly as these do.

#include <iostream>
#include <vector>

#include "coord.h"
#include "field.h"
#include "player.h"
#include "ship.h"

class LiteralComputer : public Player {
public:
    explicit LiteralComputer(bool isHard) : isHard(isHard) {}
    LiteralComputer(const LiteralComputer& other)
        : Player(other), lastHit(other.lastHit), lastHitDirection(other.lastHitDirection),
          isHard(other.isHard) {}

    Player* clone() const override { return new LiteralComputer(*this); }

    void null() override {
        lastHit.null();
        lastHitDirection = 0;
    }

    int testSituation(Ship* ship, Coord& pos) override {
        if (ship == nullptr) return 0;
        const int setTemp = enemyField->get(pos);
        enemyField->set(pos, 1);
        int targets = 0;
        for (int y = 0; y < enemyField->h; ++y)
            for (int x = 0; x < enemyField->w; ++x)
                if (enemyField->isShipTargetable(ship, Coord(x, y))) ++targets;
        enemyField->set(pos, setTemp);
        return targets;
    }

    std::vector<Coord> candidates(Player* player) {
        std::vector<Coord> toShoot;
        Ship* smallest = player->getNotDestroyedShipSmallest();
        Ship* biggest = player->getNotDestroyedShipBiggest();
        Field* f = enemyField;
        if (lastHit.isNull()) {
            for (int y = 0; y < f->h; ++y)
                for (int x = 0; x < f->w; ++x)
                    if (isHard ? f->isShipTargetable(biggest, Coord(x, y)) : f->isTargetable(Coord(x, y)))
                        toShoot.emplace_back(x, y);
        } else {
            const int x = lastHit.x, y = lastHit.y;
            auto offer = [&](int cx, int cy) {
                if (f->isTargetable(Coord(cx, cy))) toShoot.emplace_back(cx, cy);
            };
            auto walk = [&](int dx, int dy) {
                Coord c = lastHit;
                while (f->get(c) == 2) {
                    c = Coord(c.x + dx, c.y + dy);
                    if (f->isTargetable(c)) toShoot.push_back(c);
                }
            };
            if (lastHitDirection == 0) {
                if (f->isShipTargetable(smallest, lastHit, false)) {
                    offer(x - 1, y);
                    offer(x + 1, y);
                }
                if (f->isShipTargetable(smallest, lastHit, true)) {
                    offer(x, y - 1);
                    offer(x, y + 1);
                }
            } else if (lastHitDirection == 1) {
                walk(1, 0);
                walk(-1, 0);
            } else if (lastHitDirection == 2) {
                walk(0, 1);
                walk(0, -1);
            }
        }
        if (isHard) {
            std::vector<Coord> kept;
            int min = -1;
            for (Coord& c : toShoot) {
                const int score = testSituation(biggest, c);
                if (score < min || min == -1) {
                    kept.clear();
                    min = score;
                    kept.push_back(c);
                } else if (score == min) {
                    kept.push_back(c);
                }
            }
            toShoot.swap(kept);
        }
        return toShoot;
    }

    bool play(Player* player) override {
        std::vector<Coord> toShoot = candidates(player);
        if (toShoot.empty()) return false;
        Coord pos = toShoot[random(0, static_cast<int>(toShoot.size()) - 1)];
        Ship* ship = nullptr;
        const int status = player->hit(pos, ship);
        enemyField->fire(pos, status, ship);
        if (status == 2) {
            Ship* onRecord = enemyField->getShip(pos);
            if (onRecord != nullptr && onRecord->isDestroyed()) {
                lastHitDirection = 0;
                lastHit.null();
            } else {
                if (!lastHit.isNull()) {
                    if (lastHit.y == pos.y)
                        lastHitDirection = 1;
                    else if (lastHit.x == pos.x)
                        lastHitDirection = 2;
                }
                lastHit = pos;
            }
        }
        return true;
    }
    using Player::play;

    Coord lastHit;
    int lastHitDirection = 0;
    bool isHard;
};

// Random placement of a player's whole fleet, testing every place with
// isShipSetable; draws from rand() as Player::loadShips does.
inline bool literalLoadShips(Player& player) {
    Field* field = player.myField;
    field->null();
    for (int i = 0; i < player.getShipsCount(); ++i) player.getShips()[i]->null();
    for (Ship* ship = player.getShipToPlace(); ship != nullptr; ship = player.getShipToPlace()) {
        std::vector<Coord> horizontal, vertical;
        for (int y = 0; y < field->h; ++y)
            for (int x = 0; x < field->w; ++x) {
                if (field->isShipSetable(ship, Coord(x, y), false)) horizontal.emplace_back(x, y);
                if (field->isShipSetable(ship, Coord(x, y), true)) vertical.emplace_back(x, y);
            }
        std::vector<Coord>* chosen;
        if (!horizontal.empty() && !vertical.empty())
            chosen = player.random(0, 1) == 1 ? &horizontal : &vertical;
        else if (!horizontal.empty())
            chosen = &horizontal;
        else if (!vertical.empty())
            chosen = &vertical;
        else
            return false;
        const int index = player.random(0, static_cast<int>(chosen->size()) - 1);
        if (!player.setShip(ship, (*chosen)[index], chosen == &vertical)) return false;
    }
    return true;
}

#endif
