#ifndef BATTLESHIPS_TESTS_GAME_INVARIANTS_H
#define BATTLESHIPS_TESTS_GAME_INVARIANTS_H

// What must hold between two exchanges of any game, whatever was clicked:
// shared by the soak test and the game fuzzer. No test framework here, so
// the fuzzer can use it too; a broken invariant comes back as a text.

#include <cstring>
#include <sstream>
#include <string>

#include "battleships.h"
#include "coord.h"
#include "field.h"
#include "player.h"
#include "ship.h"

namespace invariants {

class Checker {
public:
    // Invariants tested so far: one per board, fleet or summary and check.
    long long checks = 0;
    // Cells compared so far.
    long long cells = 0;
    // Shots on each player's record board at the last check: [0] the main
    // player's, [1] the second player's.
    int shots[2] = {0, 0};

    // Everything that must hold between two calls on the controller; "" when
    // it does. While the main player places its fleet, its ships not placed
    // yet stand nowhere and no shot has been fired.
    std::string check(Battleships& game) {
        Player* players[2] = {game.mainPlayer, game.secondPlayer};
        const Coord size = game.getFieldSize();
        for (int i = 0; i < 2; ++i) {
            Player* p = players[i];
            if (p->myField == nullptr || p->enemyField == nullptr) return "player #" + std::to_string(i) + " has no boards";
            for (Field* f : {p->myField, p->enemyField})
                if (f->w != size.x || f->h != size.y) {
                    std::ostringstream why;
                    why << "player #" << i << " has a board of " << f->w << " x " << f->h << ", the game is "
                        << size.x << " x " << size.y;
                    return why.str();
                }
        }
        ++checks;
        for (int i = 0; i < 2; ++i) {
            std::string broken = boards(game, players[1 - i], 1 - i, players[i], i);
            if (broken.empty()) broken = fleet(game, players[1 - i], 1 - i, players[i], i, 1 - i == 0 && !players[0]->isReady());
            if (broken.empty()) broken = summaries(players[i], i);
            if (!broken.empty()) return broken;
        }
        return outcome(game);
    }

private:
    // One pass over a player's own board and the opponent's record of it.
    // Own board: states 0, 1, 2 only, a hit on a ship, a miss on none.
    // Record: every cell as shot there; a ship on it only over a hit (a sunk
    // copy), or the owner's own ship revealed at the end.
    std::string boards(Battleships& game, Player* owner, int n, Player* recorder, int m) {
        Field* f = owner->myField;
        Field* r = recorder->enemyField;
        long long hitCells = 0, shipCells = 0, recordShipCells = 0, shotCells = 0;
        for (int y = 0; y < f->h; ++y)
            for (int x = 0; x < f->w; ++x) {
                const int state = f->get(x, y);
                Ship* ship = f->getShip(x, y);
                const int recorded = r->get(x, y);
                Ship* shown = r->getShip(x, y);
                if (state < 0 || state > 2 || (state == 2 && ship == nullptr) || (state == 1 && ship != nullptr)) {
                    std::ostringstream why;
                    why << "player #" << n << "'s own board: cell " << Coord(x, y) << " has state " << state
                        << (ship != nullptr ? " on a ship" : " on no ship");
                    return why.str();
                }
                if (recorded != state) {
                    std::ostringstream why;
                    why << "player #" << m << "'s record: cell " << Coord(x, y) << " shows " << recorded
                        << ", the shot there found " << state;
                    return why.str();
                }
                if (shown != nullptr && state != 2 && !(shown == ship && game.winPlayer == owner)) {
                    std::ostringstream why;
                    why << "player #" << m << "'s record: a ship on cell " << Coord(x, y) << " of state " << state;
                    return why.str();
                }
                hitCells += state == 2;
                shipCells += ship != nullptr;
                recordShipCells += shown != nullptr;
                shotCells += state != 0;
            }
        cells += 2LL * f->w * f->h;
        shots[m] = static_cast<int>(shotCells);
        hitCells_ = hitCells;
        shipCells_ = shipCells;
        recordShipCells_ = recordShipCells;
        ++checks;
        return "";
    }

    // The owner's fleet: every ship placed (unless still placing) on its own
    // cells, touching no other ship, counting as many hits as its cells in
    // state 2, and no other ship on the board. On the opponent's record, a
    // destroyed copy of each sunk ship at its cells and nothing over a ship
    // afloat, unless the owner has won: then its ships afloat stand there
    // themselves.
    std::string fleet(Battleships& game, Player* owner, int n, Player* recorder, int m, bool placing) {
        Field* f = owner->myField;
        Field* r = recorder->enemyField;
        const bool revealed = game.winPlayer == owner;
        long long hits = 0, fleetCells = 0, shownCells = 0;
        for (int s = 0; s < owner->getShipsCount(); ++s) {
            Ship* ship = owner->getShips()[s];
            const int size = ship->getSize();
            if (!ship->isPlaced()) {
                if (placing && ship->getCoord().isNull() && ship->getHitted() == 0) continue;
                return failure(n, ship, s, "is not placed");
            }
            const Coord start = ship->getCoord();
            const bool down = ship->getDirection();
            const bool sunk = ship->isDestroyed();
            int hitHere = 0;
            for (int k = 0; k < size; ++k) {
                Coord c = down ? Coord(start.x, start.y + k) : Coord(start.x + k, start.y);
                if (f->getShip(c) != ship) return failure(n, ship, s, "is not on its cell", c);
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        Ship* next = f->getShip(c.x + dx, c.y + dy);
                        if (next != nullptr && next != ship)
                            return failure(n, ship, s, "touches another ship at", Coord(c.x + dx, c.y + dy));
                    }
                hitHere += f->get(c) == 2;
                Ship* shown = r->getShip(c);
                if (sunk) {
                    if (shown == nullptr || shown == ship || !shown->isDestroyed() || shown->getSize() != size ||
                        std::strcmp(shown->getName(), ship->getName()) != 0 || shown->getCoord() != start ||
                        shown->getDirection() != down || shown->getHitted() != size)
                        return failure(n, ship, s, "is sunk, but the record shows no destroyed copy of it at", c);
                } else if (shown != (revealed ? ship : nullptr)) {
                    return failure(n, ship, s, revealed ? "won afloat, but is not revealed at" : "is afloat, but the record shows a ship at", c);
                }
            }
            if (ship->getHitted() != hitHere || sunk != (hitHere == size)) {
                std::ostringstream why;
                why << ship->getHitted() << " hits counted, " << hitHere << " cells hit";
                return failure(n, ship, s, why.str());
            }
            hits += ship->getHitted();
            fleetCells += size;
            shownCells += sunk || revealed ? size : 0;
        }
        ++checks;
        if (hitCells_ != hits || shipCells_ != fleetCells || recordShipCells_ != shownCells) {
            std::ostringstream why;
            why << "player #" << n << "'s board: " << hitCells_ << " cells hit, the fleet counts " << hits << " hits; "
                << shipCells_ << " cells under ships, the fleet has " << fleetCells << "; player #" << m
                << "'s record shows " << recordShipCells_ << " ship cells, expected " << shownCells;
            return why.str();
        }
        return "";
    }

    static std::string failure(int n, Ship* ship, int s, const std::string& what, Coord c = Coord()) {
        std::ostringstream why;
        why << "player #" << n << "'s " << ship->getName() << " " << s << " " << what;
        if (!c.isNull()) why << " " << c;
        return why.str();
    }

    // Both summaries list the fleet's runs of one name in fleet order, with
    // the ships not placed (0) and not destroyed (1) of each run.
    std::string summaries(Player* p, int n) {
        for (int kind = 0; kind < 2; ++kind) {
            expected_.clear();
            int count = 0;
            for (int s = 0; s < p->getShipsCount(); ++s) {
                Ship* ship = p->getShips()[s];
                count += kind == 0 ? !ship->isPlaced() : !ship->isDestroyed();
                const bool last = s + 1 == p->getShipsCount() ||
                                  std::strcmp(p->getShips()[s + 1]->getName(), ship->getName()) != 0;
                if (last) {
                    if (!expected_.empty()) expected_ += ", ";
                    expected_ += std::to_string(count);
                    expected_ += "x ";
                    expected_ += ship->getName();
                    count = 0;
                }
            }
            const std::string text = p->getShipsCount(kind);
            ++checks;
            if (text != expected_)
                return "player #" + std::to_string(n) + "'s summary " + std::to_string(kind) + " reads \"" + text +
                       "\", the fleet holds \"" + expected_ + "\"";
        }
        return "";
    }

    // A winner exactly when one side has lost; the main player shoots first,
    // so it has shot once more than the other only when it has just won.
    std::string outcome(Battleships& game) {
        Player* main = game.mainPlayer;
        Player* second = game.secondPlayer;
        ++checks;
        if (!main->isReady() && (shots[0] != 0 || shots[1] != 0)) return "shots while placing";
        if (main->getShipsCount() == 0) {
            if (game.winPlayer != nullptr) return "a winner without ships";
            if (shots[0] != 0 || shots[1] != 0) return "shots without ships";
            return "";
        }
        if (game.winPlayer == nullptr && (main->isLose() || second->isLose())) return "a side lost, no winner";
        if (game.winPlayer == main && (!second->isLose() || main->isLose())) return "player #0 won, but not by the fleets";
        if (game.winPlayer == second && (!main->isLose() || second->isLose())) return "player #1 won, but not by the fleets";
        if (game.winPlayer != nullptr && game.winPlayer != main && game.winPlayer != second) return "a stray winner";
        const int extra = game.winPlayer == main ? 1 : 0;
        if (shots[0] != shots[1] + extra) {
            std::ostringstream why;
            why << "player #0 shot " << shots[0] << " times, player #1 " << shots[1];
            return why.str();
        }
        return "";
    }

    // What the last pass over a board found, for the fleet's check.
    long long hitCells_ = 0, shipCells_ = 0, recordShipCells_ = 0;
    std::string expected_;
};

}  // namespace invariants

#endif
