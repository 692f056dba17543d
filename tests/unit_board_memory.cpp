// The memory check: whole games fit in their estimate, and the limits of
// the process and of its control group, read from fake trees of /proc and
// /sys, bind the check.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <utility>
#include <vector>

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
        // Through a volatile, as a compiler may drop an allocation nothing
        // reads and take it as successful (GCC 16 does).
        void* volatile block = std::malloc(static_cast<size_t>(extra) + (8 << 20));
        _exit(block == nullptr ? 0 : 97);
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

namespace {

using Files = std::vector<std::pair<std::string, std::string>>;

// Writes the files below a fresh folder and gives its path ("" on failure).
std::string plant(const Files& files) {
    char folder[] = "/tmp/board-memory-XXXXXX";
    if (mkdtemp(folder) == nullptr) return "";
    for (const auto& [path, text] : files) {
        const std::filesystem::path file = folder + path;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
    return folder;
}

}  // namespace

// Every group from the process's own up to the top binds with its limit less
// its use (page cache it may drop aside); "max" and v1's near 2^63 bind not.
TEST(BoardMemory, ControlGroupLimitsBindFromTheOwnGroupUpToTheTop) {
    rlimit as{}, data{};
    getrlimit(RLIMIT_AS, &as);
    getrlimit(RLIMIT_DATA, &data);
    if (as.rlim_cur != RLIM_INFINITY || data.rlim_cur != RLIM_INFINITY) GTEST_SKIP() << "own limits bind first";
    const std::string v2 = "30 22 0:27 / /sys/fs/cgroup rw,nosuid - cgroup2 cgroup2 rw,nsdelegate\n";
    const std::string v1 = "30 22 0:26 / /sys/fs/cgroup rw - tmpfs tmpfs rw,mode=755\n"
                           "31 30 0:28 / /sys/fs/cgroup/cpu rw - cgroup cgroup rw,cpu\n"
                           "34 30 0:31 / /sys/fs/cgroup/memory rw master:9 - cgroup cgroup rw,memory\n"
                           "40 30 0:37 / /sys/fs/cgroup/unified rw - cgroup2 cgroup2 rw\n";
    const std::string game = "/sys/fs/cgroup/user.slice/game.scope/", app = "/sys/fs/cgroup/memory/app/";
    struct Case {
        const char* name;
        Files files;
        double availableMiB;
    };
    const Case cases[] = {
        {"v2", {{"/proc/self/cgroup", "0::/user.slice/game.scope\n"}, {"/proc/self/mountinfo", v2},
                {game + "memory.max", "1073741824\n"}, {game + "memory.current", "419430400\n"},
                {game + "memory.stat", "file 104857600\ninactive_file 104857600\n"},
                {"/sys/fs/cgroup/user.slice/memory.max", "max\n"}}, 1024 - 300},
        {"v1", {{"/proc/self/cgroup", "4:memory:/app\n2:cpu:/app\n0::/\n"}, {"/proc/self/mountinfo", v1},
                {app + "memory.limit_in_bytes", "536870912\n"}, {app + "memory.usage_in_bytes", "209715200\n"},
                {app + "memory.stat", "cache 62914560\ntotal_inactive_file 52428800\n"},
                {"/sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"},
                {"/sys/fs/cgroup/memory/memory.usage_in_bytes", "4294967296\n"}}, 512 - 150},
        {"parent binds harder", {{"/proc/self/cgroup", "0::/outer/inner\n"}, {"/proc/self/mountinfo", v2},
                {"/sys/fs/cgroup/outer/inner/memory.max", "2147483648\n"},
                {"/sys/fs/cgroup/outer/inner/memory.current", "104857600\n"},
                {"/sys/fs/cgroup/outer/memory.max", "1073741824\n"},
                {"/sys/fs/cgroup/outer/memory.current", "943718400\n"}}, 1024 - 900},
        {"no limit", {{"/proc/self/cgroup", "0::/free\n"}, {"/proc/self/mountinfo", v2},
                {"/sys/fs/cgroup/free/memory.max", "max\n"}, {"/sys/fs/cgroup/free/memory.current", "1073741824\n"}},
                8192},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Files files = c.files;
        files.push_back({"/proc/meminfo", "MemTotal: 16777216 kB\nMemAvailable: 8388608 kB\n"});
        const std::string root = plant(files);
        ASSERT_FALSE(root.empty());
        EXPECT_EQ(boardMemory(14, 14, root).available, c.availableMiB * 1024 * 1024);
        std::filesystem::remove_all(root);
    }
}
