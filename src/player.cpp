#include "player.h"

#include <cstdlib>
#include <vector>

Player::Player() : myField(nullptr), enemyField(nullptr), ships(nullptr), shipsCount(0) {}

Player::Player(const Player&) : Player() {}

Player::~Player() {
    deleteFields();
    if (shipsCount != 0) {
        for (int i = 0; i < shipsCount; ++i) delete ships[i];
        delete[] ships;
    }
}

void Player::addFields(const Coord& fieldSize) {
    deleteFields();
    myField = new Field(fieldSize);
    enemyField = new Field(fieldSize);
}

void Player::deleteFields() {
    delete myField;
    myField = nullptr;
    delete enemyField;
    enemyField = nullptr;
}

void Player::addShips(Ship** add, int count) {
    if (shipsCount == 0) {
        if (count <= 0) return;
        shipsCount = count;
        ships = new Ship*[count];
        for (int i = 0; i < count; ++i) ships[i] = add[i]->clone();
        return;
    }
    for (int i = 0; i < shipsCount; ++i) ships[i]->null();
}

Ship** Player::getShips() {
    return ships;
}

int Player::getShipsCount() const {
    return shipsCount;
}

Ship* Player::getShipToPlace() const {
    for (int i = 0; i < shipsCount; ++i)
        if (!ships[i]->isPlaced()) return ships[i];
    return nullptr;
}

Ship* Player::getNotDestroyedShipBiggest() const {
    for (int i = 0; i < shipsCount; ++i)
        if (!ships[i]->isDestroyed()) return ships[i];
    return nullptr;
}

Ship* Player::getNotDestroyedShipSmallest() const {
    for (int i = shipsCount - 1; i >= 0; --i)
        if (!ships[i]->isDestroyed()) return ships[i];
    return nullptr;
}

std::string Player::getShipsCount(int typeOfInfo) const {
    std::string toReturn;
    std::string lastName;
    int count = -1;
    for (int i = 0; i < shipsCount; ++i) {
        Ship* ship = ships[i];
        if (count >= 0 && lastName != ship->getName()) {
            toReturn += std::to_string(count) + "x " + lastName + ", ";
            count = 0;
        }
        if (count == -1) count = 0;
        if ((typeOfInfo == 0 && !ship->isPlaced()) || (typeOfInfo == 1 && !ship->isDestroyed()))
            ++count;
        lastName = ship->getName();
    }
    if (count >= 0) toReturn += std::to_string(count) + "x " + lastName;
    return toReturn;
}

bool Player::isReady() const {
    return getShipToPlace() == nullptr;
}

bool Player::isLose() const {
    return getNotDestroyedShipBiggest() == nullptr;
}

bool Player::setShip(Ship* ship, const Coord& pos, bool direction) {
    return myField->setShip(ship, pos, direction);
}

bool Player::isShipSetable(Ship* ship, const Coord& pos, bool direction) const {
    return myField->isShipSetable(ship, pos, direction);
}

bool Player::play(Coord& pos, Player* player) {
    if (player->isHit(pos) != 0) return false;
    Ship* ship = nullptr;
    int status = player->hit(pos, ship);
    enemyField->fire(pos, status, ship);
    return true;
}

int Player::hit(Coord& pos, Ship*& ship) {
    return myField->hit(pos, ship);
}

int Player::isHit(Coord& pos) const {
    return myField->isHit(pos);
}

int Player::random(int from, int to) {
    // to + 1 - from taken wide so that no argument can overflow it.
    const long long span = static_cast<long long>(to) + 1 - from;
    const double fraction = std::rand() / 2147483648.0;
    return static_cast<int>(static_cast<double>(span) * fraction + from);
}

bool Player::loadShips() {
    myField->null();
    for (int i = 0; i < shipsCount; ++i) ships[i]->null();

    std::vector<Coord> toSetHorizont;
    std::vector<Coord> toSetVertical;
    for (Ship* ship = getShipToPlace(); ship != nullptr; ship = getShipToPlace()) {
        toSetHorizont.clear();
        toSetVertical.clear();
        myField->setablePlaces(ship->getSize(), toSetHorizont, toSetVertical);
        std::vector<Coord>* toSet;
        if (!toSetHorizont.empty() && !toSetVertical.empty())
            toSet = random(0, 1) == 1 ? &toSetHorizont : &toSetVertical;
        else if (!toSetHorizont.empty())
            toSet = &toSetHorizont;
        else if (!toSetVertical.empty())
            toSet = &toSetVertical;
        else
            return false;
        const int index = random(0, static_cast<int>(toSet->size()) - 1);
        if (!setShip(ship, (*toSet)[index], toSet == &toSetVertical)) return false;
    }
    return true;
}
