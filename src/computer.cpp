#include "computer.h"

#include <algorithm>
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

const TargetMap& Computer::targetMap(Ship* ship) {
    const int size = ship->getSize();
    if (!map || map->size != size || mapSerial != enemyField->getSerial() ||
        mapRevision != enemyField->getRevision()) {
        if (!map) map.reset(new TargetMap);
        enemyField->targetMap(size, *map);
        mapSerial = enemyField->getSerial();
        mapRevision = enemyField->getRevision();
    }
    return *map;
}

// A miss at pos closes the open runs through pos. That can only change the
// answer of pos itself and of the cells within one ship length of it along
// its row and column: each of those stays targetable while it keeps a run
// that does not cover pos.
int Computer::score(const TargetMap& m, const Coord& pos) const {
    if (pos.x < 0 || pos.x >= m.w || pos.y < 0 || pos.y >= m.h) return static_cast<int>(m.targets);
    const int n = m.size;
    const int x = pos.x;
    const int y = pos.y;
    long long lost = m.targetable[static_cast<size_t>(y) * m.w + x];
    for (int cx = std::max(x - n + 1, 0); cx <= std::min(x + n - 1, m.w - 1); ++cx) {
        const size_t i = static_cast<size_t>(y) * m.w + cx;
        if (cx == x || !m.targetable[i]) continue;
        if (m.through[i] == m.runsH(y, std::max(x, cx) - n + 1, std::min(x, cx))) ++lost;
    }
    for (int cy = std::max(y - n + 1, 0); cy <= std::min(y + n - 1, m.h - 1); ++cy) {
        const size_t i = static_cast<size_t>(cy) * m.w + x;
        if (cy == y || !m.targetable[i]) continue;
        if (m.through[i] == m.runsV(x, std::max(y, cy) - n + 1, std::min(y, cy))) ++lost;
    }
    return static_cast<int>(m.targets - lost);
}

int Computer::testSituation(Ship* ship, Coord& pos) {
    if (ship == nullptr || enemyField == nullptr) return 0;
    return score(targetMap(ship), pos);
}

void Computer::huntCandidates(Ship* biggest, std::vector<Coord>& toShoot) {
    if (isHard) {
        if (biggest == nullptr) return;
        const TargetMap& m = targetMap(biggest);
        for (int y = 0; y < enemyField->h; ++y)
            for (int x = 0; x < enemyField->w; ++x)
                if (m.targetable[static_cast<size_t>(y) * m.w + x]) toShoot.emplace_back(x, y);
        return;
    }
    for (int y = 0; y < enemyField->h; ++y) {
        for (int x = 0; x < enemyField->w; ++x) {
            const Coord cell(x, y);
            if (enemyField->isTargetable(cell)) toShoot.push_back(cell);
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
            const int value = testSituation(tempShipBiggest, candidate);
            if (value < min || min == -1) {
                toShootTemp.clear();
                min = value;
                toShootTemp.push_back(candidate);
            } else if (value == min) {
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
