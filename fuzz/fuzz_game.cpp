// Bytes as a script of what a player does in the window, against the real
// controller. The first bytes give the board (up to 40 x 40), the fleet (0 to
// 4 ships per type), the level and the random seed; then each action is one
// byte and its operands:
//   0  new game (key N)
//   1  x y d  set the next ship at cell (x, y), turned when d is odd (click)
//   2  place the whole fleet at random (key S)
//   3  x y  shoot at cell (x, y) (click on the record board)
// Cells are signed bytes, so off the board and the null coordinate come up.
// As in the window, ships are set only while placing and shots only once the
// fleet stands. After every action the game's invariants must hold.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "battleships.h"
#include "computer.h"
#include "game_invariants.h"
#include "human.h"
#include "ship.h"

namespace {

class Script {
public:
    Script(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool done() const { return at_ >= size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    int cell() { return static_cast<int8_t>(byte()); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

[[noreturn]] void fail(const std::string& what, const std::string& said) {
    std::cerr << "game: " << what << "\nconsole: \"" << said << "\"" << std::endl;
    std::abort();
}

std::vector<unsigned long long> revisions(Battleships& g) {
    return {g.mainPlayer->myField->getRevision(), g.mainPlayer->enemyField->getRevision(),
            g.secondPlayer->myField->getRevision(), g.secondPlayer->enemyField->getRevision()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Script script(data, size);
    // Sides up to 20 from most bytes, 21 to 40 from the rest: a script on a
    // big board costs more and finds little more.
    auto side = [&script] {
        const int b = script.byte();
        return b < 200 ? 1 + b % 20 : 21 + b % 20;
    };
    const int w = side();
    const int h = side();
    int counts[4];
    for (int& c : counts) c = script.byte() % 5;
    const bool hard = script.byte() % 2 == 1;
    std::srand(script.byte());

    // The rules print to std::cout; keep it to look for what they said.
    std::ostringstream console;
    std::streambuf* saved = std::cout.rdbuf(console.rdbuf());
    {
        Battleships g(Coord(w, h), Human(), Computer(hard));
        addFleet(g, counts);
        g.newGame();

        invariants::Checker checker;
        Player* human = g.mainPlayer;
        int exchanges = 0;
        std::string broken = checker.check(g);
        if (!broken.empty()) fail("dealt: " + broken, console.str());
        std::vector<unsigned long long> checked = revisions(g);

        while (!script.done()) {
            console.str("");
            const int action = script.byte() % 4;
            if (action == 0) {
                g.newGame();
                human = g.mainPlayer;
                exchanges = 0;
            } else if (action == 1) {
                const int x = script.cell(), y = script.cell();
                const bool turned = script.byte() % 2 == 1;
                Ship* next = human->getShipToPlace();
                if (next != nullptr) human->setShip(next, Coord(x, y), turned);
            } else if (action == 2) {
                if (!human->isReady()) human->loadShips();
            } else {
                const int x = script.cell(), y = script.cell();
                if (!human->isReady()) continue;
                const int before[2] = {checker.shots[0], checker.shots[1]};
                const auto boards = revisions(g);
                Player* winner = g.winPlayer;
                const bool fresh = g.winPlayer == nullptr && human->getShipsCount() > 0 &&
                                   !human->enemyField->isOutOfRange(x, y) && human->enemyField->get(x, y) == 0;
                if (!g.play(human, Coord(x, y))) fail("the computer could not play", console.str());
                broken = checker.check(g);
                if (!broken.empty())
                    fail("after a shot at " + std::to_string(x) + "x" + std::to_string(y) + ": " + broken, console.str());
                checked = revisions(g);
                if (fresh) {
                    ++exchanges;
                    const bool humanWon = g.winPlayer == human;
                    if (checker.shots[0] != before[0] + 1 || checker.shots[1] != before[1] + (humanWon ? 0 : 1))
                        fail("a shot at a new cell was not one exchange", console.str());
                    const std::string expected =
                        humanWon ? "Player #0 won.\n" : g.winPlayer != nullptr ? "Player #1 won.\n" : "";
                    if (console.str() != expected) fail("unexpected console output", console.str());
                    if (g.winPlayer == nullptr && exchanges >= g.getFieldSize().x * g.getFieldSize().y)
                        fail("no winner once every cell was shot", console.str());
                } else if (revisions(g) != boards || g.winPlayer != winner || !console.str().empty()) {
                    fail("a refused shot changed the game", console.str());
                }
                continue;
            }
            // An action that touched no board (a ship refused) needs no check.
            if (action != 0 && revisions(g) == checked) continue;
            broken = checker.check(g);
            if (!broken.empty()) fail("after action " + std::to_string(action) + ": " + broken, console.str());
            checked = revisions(g);
        }
    }
    std::cout.rdbuf(saved);
    return 0;
}
