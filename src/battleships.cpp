#include "battleships.h"

#include <iostream>

Battleships::Battleships(const Coord& x, const Player& p1, const Player& p2)
    : mainPlayer(p1.clone()), secondPlayer(p2.clone()), winPlayer(nullptr), fieldSize(x),
      ships(new Ship*[maxShips]()), shipsCount(0) {}

Battleships::~Battleships() {
    delete mainPlayer;
    delete secondPlayer;
    for (int i = 0; i < shipsCount; ++i) delete ships[i];
    delete[] ships;
}

void Battleships::addShip(const Ship& x) {
    if (shipsCount >= maxShips) return;
    ships[shipsCount++] = x.clone();
}

void Battleships::newGame() {
    secondPlayer->null();
    secondPlayer->addFields(fieldSize);
    secondPlayer->addShips(ships, shipsCount);
    while (!secondPlayer->loadShips()) {
        ++fieldSize.x;
        ++fieldSize.y;
        secondPlayer->addFields(fieldSize);
        std::cout << "Field was expanded +1." << std::endl;
    }
    mainPlayer->null();
    mainPlayer->addFields(fieldSize);
    mainPlayer->addShips(ships, shipsCount);
    winPlayer = nullptr;
}

bool Battleships::play(Player*, Coord pos) {
    if (mainPlayer->isLose() || secondPlayer->isLose()) return true;
    for (;;) {
        bool moved = false;
        if (winPlayer == nullptr) {
            moved = mainPlayer->play(secondPlayer);
            if (!moved) moved = mainPlayer->play(pos, secondPlayer);
        }
        if (!moved) return true;

        if (secondPlayer->isLose()) {
            winPlayer = mainPlayer;
            showShips(mainPlayer, secondPlayer);
            std::cout << "Player #0 won." << std::endl;
            return true;
        }
        if (!secondPlayer->play(mainPlayer)) {
            std::cout << "Second player can't play!" << std::endl;
            return false;
        }
        if (mainPlayer->isLose()) {
            winPlayer = secondPlayer;
            showShips(secondPlayer, mainPlayer);
            std::cout << "Player #1 won." << std::endl;
            return true;
        }
    }
}

void Battleships::showShips(Player* from, Player* to) {
    Ship** fleet = from->getShips();
    for (int i = 0; i < shipsCount; ++i) {
        Ship* ship = fleet[i];
        if (!ship->isDestroyed()) to->enemyField->setShip(ship, ship->getCoord(), ship->getDirection());
    }
}

const Coord& Battleships::getFieldSize() const {
    return fieldSize;
}

int Battleships::getShipsCount() const {
    return shipsCount;
}

void addFleet(Battleships& game, const int counts[4]) {
    for (const auto& ship : fleetOf(counts, Battleships::maxShips - game.getShipsCount())) game.addShip(*ship);
}
