// What a player feels in the window: the game's CPU time (its renderer's
// threads included) and wall time for a pointer move, the hint overlay and a
// shot, at 14, 100 and 300 cells a side, measured the way a person meets
// them: events through the X server, each measured until the game is idle
// again. Two games run side by side on two private X servers, the build under
// test and a build of an earlier commit, and get the same events in turns.
//   bench_events NEW_GAME OLD_GAME FIXED_TIME_LIBRARY [rounds]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "game_session.h"

using namespace bench;

namespace {

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Goal {
    const char* event;
    double ratio[3];  // at 14, 100 and 300 cells a side
};

const Goal kGoals[] = {
    {"pointer move to the next record cell", {5, 5, 5}},
    {"right button pressed and released after an exchange", {2, 5, 8}},
    {"a shot: click, exchange and frames", {1.5, 1.5, 1.5}},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_events NEW_GAME OLD_GAME FIXED_TIME_LIBRARY [rounds]\n");
        return 2;
    }
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 9;
    const int sides[3] = {14, 100, 300};
    bool allMet = true;
    std::printf("CPU and wall time per event, medians of %d rounds (ms); the old build's and the new one's\n\n",
                rounds);
    std::printf("%-54s %5s %9s %9s %7s %6s %9s %9s\n", "event", "side", "old CPU", "new CPU", "ratio", "goal",
                "old wall", "new wall");
    for (int s = 0; s < 3; ++s) {
        const int side = sides[s];
        Session fresh(argv[1], argv[3], side);
        Session old(argv[2], argv[3], side);
        if (!fresh.ok() || !old.ok()) {
            std::fprintf(stderr, "bench_events: the games did not start at %d x %d\n", side, side);
            return 1;
        }
        Session* both[2] = {&old, &fresh};
        for (Session* game : both) {
            game->move(false, 0, 0);
            game->unmeasured({"key", "s"});
        }
        // [event][old/new][round]
        std::vector<double> cpu[3][2], wall[3][2];
        std::mt19937 random(7);
        for (int round = 0; round < rounds; ++round) {
            const int x = static_cast<int>(random() % static_cast<unsigned>(side - 1));
            const int y = static_cast<int>(random() % static_cast<unsigned>(side));
            for (int g = 0; g < 2; ++g) {
                Session& game = *both[g];
                game.move(true, x, y);
                game.unmeasured({"sleep", "0.05"});
                Cost c = game.moveTo(true, x + 1, y);
                cpu[0][g].push_back(c.cpu);
                wall[0][g].push_back(c.wall);
                c = game.measured({{"click", "1"}});
                cpu[2][g].push_back(c.cpu);
                wall[2][g].push_back(c.wall);
                c = game.measured({{"mousedown", "3"}, {"mouseup", "3"}});
                cpu[1][g].push_back(c.cpu);
                wall[1][g].push_back(c.wall);
            }
        }
        for (int e = 0; e < 3; ++e) {
            const double oldCpu = median(cpu[e][0]);
            const double newCpu = median(cpu[e][1]);
            const double ratio = newCpu > 0 ? oldCpu / newCpu : 0;
            const bool met = ratio >= kGoals[e].ratio[s];
            allMet = allMet && met;
            std::printf("%-54s %5d %9.1f %9.1f %6.1fx %5.1fx %9.1f %9.1f %s\n", kGoals[e].event, side, oldCpu,
                        newCpu, ratio, kGoals[e].ratio[s], median(wall[e][0]), median(wall[e][1]),
                        met ? "" : " (goal not met)");
        }
        std::fflush(stdout);
    }
    std::printf("\n%s\n", allMet ? "every goal met" : "some goals not met");
    return 0;
}
