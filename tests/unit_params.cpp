// The game's command line: defaults, the conversion of each text the way a
// string stream reads an unsigned int, the bounds on the size, and blank
// arguments standing for their position's default.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "battleships.h"
#include "board_memory.h"
#include "computer.h"
#include "human.h"
#include "params.h"

namespace {

using Params = std::array<int, 7>;

Params read(const std::vector<std::string>& args) {
    std::vector<std::string> texts{"./game"};
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& t : texts) argv.push_back(t.data());
    argv.push_back(nullptr);
    // Two guard slots past the seventh: nothing may be written there.
    int slots[9] = {0, 0, 0, 0, 0, 0, 0, -12345, -12345};
    readParams(static_cast<int>(texts.size()), argv.data(), slots);
    EXPECT_EQ(slots[7], -12345);
    EXPECT_EQ(slots[8], -12345);
    Params p;
    std::copy(slots, slots + 7, p.begin());
    return p;
}

// The value one text gives in a count position (no bound applied there).
int asCount(const std::string& text) {
    return read({"14", "14", text})[2];
}

const Params defaults{14, 14, 2, 3, 4, 3, 1};

}  // namespace

TEST(Params, NoArgumentsGiveTheDefaultGame) {
    EXPECT_EQ(read({}), defaults);
}

TEST(Params, GivenPositionsReplaceOnlyTheirOwnDefaults) {
    EXPECT_EQ(read({"10", "8"}), (Params{10, 8, 2, 3, 4, 3, 1}));
    EXPECT_EQ(read({"9", "7", "1", "0", "2", "5", "0"}), (Params{9, 7, 1, 0, 2, 5, 0}));
    EXPECT_EQ(read({"20"}), (Params{20, 14, 2, 3, 4, 3, 1}));
}

TEST(Params, ArgumentsPastTheSeventhAreIgnored) {
    EXPECT_EQ(read({"9", "7", "1", "0", "2", "5", "0", "88", "99"}), (Params{9, 7, 1, 0, 2, 5, 0}));
}

TEST(Params, WidthAndHeightOfZeroOrLessBecomeOne) {
    EXPECT_EQ(read({"0", "-3"}), (Params{1, 1, 2, 3, 4, 3, 1}));
    EXPECT_EQ(read({"-5", "abc"}), (Params{1, 1, 2, 3, 4, 3, 1}));
    EXPECT_EQ(read({"4294967295", "1"}), (Params{1, 1, 2, 3, 4, 3, 1}));
}

TEST(Params, TextsConvertAsAStreamReadsAnUnsignedInt) {
    EXPECT_EQ(asCount("12abc"), 12);
    EXPECT_EQ(asCount("3.9"), 3);
    EXPECT_EQ(asCount("0x10"), 0);
    EXPECT_EQ(asCount("abc"), 0);
    EXPECT_EQ(asCount("-"), 0);
    EXPECT_EQ(asCount("  7"), 7);
    EXPECT_EQ(asCount("+6"), 6);
    EXPECT_EQ(asCount("007"), 7);
    EXPECT_EQ(asCount("-5"), -5);
    EXPECT_EQ(asCount("4294967295"), -1);
    EXPECT_EQ(asCount("2147483648"), -2147483647 - 1);
    EXPECT_EQ(asCount("4294967296"), -1);
    EXPECT_EQ(asCount("99999999999999999999"), -1);
    EXPECT_EQ(read({"12abc"})[0], 12);
}

TEST(Params, DifficultyIsStoredAsRead) {
    EXPECT_EQ(read({"1", "1", "0", "0", "0", "0", "0"})[6], 0);
    EXPECT_EQ(read({"1", "1", "0", "0", "0", "0", "abc"})[6], 0);
    EXPECT_EQ(read({"1", "1", "0", "0", "0", "0", "2"})[6], 2);
    EXPECT_EQ(read({"1", "1", "0", "0", "0", "0", "-1"})[6], -1);
    EXPECT_EQ(read({"1", "1", "0", "0", "0", "0", "-5"})[6], -5);
}

TEST(Params, EmptyOrBlankArgumentStandsForItsPositionsDefault) {
    // A blank first argument: nothing before it to repeat.
    EXPECT_EQ(read({""}), defaults);
    EXPECT_EQ(read({"   "}), defaults);
    EXPECT_EQ(read({"", "8"}), (Params{14, 8, 2, 3, 4, 3, 1}));
    // After other values: still the position's own default, not the value of
    // the argument before it.
    EXPECT_EQ(read({"10", "", "0", " \t", "9", "", "   "}), (Params{10, 14, 0, 3, 9, 3, 1}));
    EXPECT_EQ(read({"abc", " ", "-5", ""}), (Params{1, 14, -5, 3, 4, 3, 1}));
    // All seven blank.
    EXPECT_EQ(read({"", "", "", "", "", "", ""}), defaults);
}

TEST(Params, ReadingStopsAtANullArgument) {
    std::string prog = "./game", w = "5", h = "6";
    char* argv[] = {prog.data(), w.data(), nullptr, h.data(), nullptr};
    Params p;
    readParams(4, argv, p.data());
    EXPECT_EQ(p, (Params{5, 14, 2, 3, 4, 3, 1}));
}

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
