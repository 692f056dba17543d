#include "computer.h"

#include <iostream>

Computer::Computer(bool isHard) : Player(), lastHit(), lastHitDirection(0), isHard(isHard) {
    null();
    std::cout << "Computer difficulty is set to: " << (isHard ? "Hard" : "Easy") << std::endl;
}

Computer::Computer(const Computer& other)
    : Player(other), lastHit(other.lastHit), lastHitDirection(other.lastHitDirection),
      isHard(other.isHard) {}

Computer::~Computer() = default;

Player* Computer::clone() const {
    return new Computer(*this);
}

void Computer::null() {
    lastHit.null();
    lastHitDirection = 0;
}

bool Computer::getIsHard() const {
    return isHard;
}

const Coord& Computer::getLastHit() const {
    return lastHit;
}

int Computer::getLastHitDirection() const {
    return lastHitDirection;
}

int Computer::testSituation(Ship* ship, Coord& pos) {
    if (ship == nullptr || enemyField == nullptr) return 0;
    const int setTemp = enemyField->get(pos);
    enemyField->set(pos, 1);
    int targets = 0;
    for (int y = 0; y < enemyField->h; ++y)
        for (int x = 0; x < enemyField->w; ++x)
            if (enemyField->isShipTargetable(ship, Coord(x, y))) ++targets;
    enemyField->set(pos, setTemp);
    return targets;
}

void Computer::huntCandidates(Ship* biggest, std::vector<Coord>& toShoot) const {
    for (int y = 0; y < enemyField->h; ++y) {
        for (int x = 0; x < enemyField->w; ++x) {
            const Coord cell(x, y);
            if (isHard ? enemyField->isShipTargetable(biggest, cell) : enemyField->isTargetable(cell))
                toShoot.push_back(cell);
        }
    }
}

void Computer::followCandidates(Ship* smallest, std::vector<Coord>& toShoot) const {
    const int x = lastHit.x;
    const int y = lastHit.y;
    auto offer = [&](int cx, int cy) {
        if (enemyField->isTargetable(Coord(cx, cy))) toShoot.emplace_back(cx, cy);
    };
    switch (lastHitDirection) {
    case 0:
        if (enemyField->isShipTargetable(smallest, lastHit, false)) {
            offer(x - 1, y);
            offer(x + 1, y);
        }
        if (enemyField->isShipTargetable(smallest, lastHit, true)) {
            offer(x, y - 1);
            offer(x, y + 1);
        }
        break;
    case 1:
        walk(1, 0, toShoot);
        walk(-1, 0, toShoot);
        break;
    case 2:
        walk(0, 1, toShoot);
        walk(0, -1, toShoot);
        break;
    default:
        break;
    }
}

// Steps from the pending hit along the run of hits; the first cell past its
// end is offered when it is still targetable.
void Computer::walk(int dx, int dy, std::vector<Coord>& toShoot) const {
    Coord cell = lastHit;
    while (enemyField->get(cell) == 2) {
        cell = Coord(cell.x + dx, cell.y + dy);
        if (enemyField->isTargetable(cell)) toShoot.push_back(cell);
    }
}

std::vector<Coord> Computer::candidates(Player* player) {
    std::vector<Coord> toShoot;
    if (enemyField == nullptr) return toShoot;
    Ship* tempShipSmallest = player->getNotDestroyedShipSmallest();
    Ship* tempShipBiggest = player->getNotDestroyedShipBiggest();

    if (lastHit.isNull())
        huntCandidates(tempShipBiggest, toShoot);
    else
        followCandidates(tempShipSmallest, toShoot);

    if (isHard) {
        std::vector<Coord> toShootTemp;
        int min = -1;
        for (Coord& candidate : toShoot) {
            const int score = testSituation(tempShipBiggest, candidate);
            if (score < min || min == -1) {
                toShootTemp.clear();
                min = score;
                toShootTemp.push_back(candidate);
            } else if (score == min) {
                toShootTemp.push_back(candidate);
            }
        }
        toShoot.swap(toShootTemp);
    }
    return toShoot;
}

bool Computer::play(Player* player) {
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
