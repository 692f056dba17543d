// The memory check: whole games fit in their estimate, and the limits of
// the process and of its control group bind the check.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>

#include "battleships.h"
#include "board_memory.h"
#include "computer.h"
#include "human.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

double ownAddressSpace() {
    std::ifstream status("/proc/self/status");
    std::string key;
    double kilobytes = 0;
    for (std::string line; status >> key;) {
        if (key == "VmSize:" && status >> kilobytes) return kilobytes * 1024;
        std::getline(status, line);
    }
    return 0;
}

// Runs body in a child process with the address space limited to what it
// uses now plus extra bytes; the child's exit status (99 for bad_alloc).
int underLimit(double extra, void (*body)(int, int, bool), int w, int h, bool hard) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        const rlim_t bytes = static_cast<rlim_t>(ownAddressSpace() + extra);
        const rlimit limit{bytes, bytes};
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(98);
        try {
            body(w, h, hard);
        } catch (const std::bad_alloc&) {
            _exit(99);
        }
        // The limit binds: more than the whole allowance is out of reach.
        _exit(std::malloc(static_cast<size_t>(extra) + (8 << 20)) == nullptr ? 0 : 97);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Two games with a small fleet: each dealt, placed and played for a few
// turns, with the hint score of a row of cells in between.
void playTwoGames(int w, int h, bool hard) {
    Human human;
    Computer computer(hard);
    Battleships game(Coord(w, h), human, computer);
    game.addShip(Submarine());
    game.addShip(Destroyer());
    for (int round = 0; round < 2; ++round) {
        game.newGame();
        game.mainPlayer->loadShips();
        for (int turn = 0; turn < 4; ++turn) game.play(game.mainPlayer, Coord(turn % w, turn / w % h));
        Ship* biggest = game.mainPlayer->getNotDestroyedShipBiggest();
        for (int x = 0; x < std::min(w, 50); ++x) {
            Coord cell(x, 0);
            game.secondPlayer->testSituation(biggest, cell);
        }
    }
}

void allocateOnly(int, int, bool) {}

}  // namespace

// The estimate must hold for every shape: one huge row, many tiny rows, and
// a square, at both levels. The limit leaves the game exactly its estimate
// (plus a little for the test's own stack and buffers).
TEST(BoardMemory, WholeGamesFitInTheirEstimateUnderAnAddressSpaceLimit) {
    if (kSanitized) GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space";
    const double slack = 4 * 1024 * 1024;
    struct Shape {
        int w, h;
        bool hard;
    };
    for (const Shape shape : {Shape{700, 700, true}, Shape{300000, 1, true}, Shape{2, 200000, true},
                              Shape{500, 400, false}}) {
        SCOPED_TRACE(std::to_string(shape.w) + " x " + std::to_string(shape.h));
        EXPECT_EQ(underLimit(gameBytes(shape.w, shape.h) + slack, playTwoGames, shape.w, shape.h, shape.hard), 0);
    }
    // The check itself: under a limit, a board past it is refused.
    EXPECT_EQ(underLimit(64.0 * 1024 * 1024, allocateOnly, 0, 0, false), 0);
}

TEST(BoardMemory, TheProcessLimitsBindTheCheck) {
    if (kSanitized) GTEST_SKIP() << "AddressSanitizer's shadow memory counts as data";
    const pid_t pid = fork();
    if (pid == 0) {
        rlimit limit{};
        getrlimit(RLIMIT_DATA, &limit);
        limit.rlim_cur = 3000L * 1024 * 1024;
        if (setrlimit(RLIMIT_DATA, &limit) != 0) _exit(98);
        const BoardMemory small = boardMemory(14, 14);
        const BoardMemory big = boardMemory(6000, 6000);
        const bool ok = small.fits() && small.available <= 3000.0 * 1024 * 1024 && !big.fits() &&
                        boardRefusal(6000, 6000, big).find("a board of 6000 x 6000 cells needs about ") == 0 &&
                        big.available <= 3000.0 * 1024 * 1024;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
