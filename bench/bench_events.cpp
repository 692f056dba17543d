// What a player feels in the window: the game's CPU time (its renderer's
// threads included) and wall time for a pointer move, the hint overlay and a
// shot, at 14, 100 and 300 cells a side, measured the way a person meets
// them: events through the X server, each measured until the game is idle
// again. Two games run side by side on two private X servers, the build under
// test and a build of an earlier commit, and get the same events in turns.
//   bench_events NEW_GAME OLD_GAME FIXED_TIME_LIBRARY [rounds]

#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "xsession.h"

namespace {

using Clock = std::chrono::steady_clock;

// CPU time of every thread of a process, in milliseconds.
double cpuMs(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double total = 0;
    if (DIR* dir = opendir(tasks.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.') continue;
            std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
            double ns = 0;
            if (stat >> ns) total += ns / 1e6;
        }
        closedir(dir);
    }
    return total;
}

struct Cost {
    double cpu = 0, wall = 0;
};

// Waits until the process has used no CPU for 150 ms.
void settle(pid_t pid) {
    double last = cpuMs(pid);
    Clock::time_point lastChange = Clock::now();
    while (Clock::now() - lastChange < std::chrono::milliseconds(150)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const double now = cpuMs(pid);
        if (now != last) {
            last = now;
            lastChange = Clock::now();
        }
    }
}

// One game on its own X server, driven by xdotool.
class Session {
public:
    Session(const std::string& game, const std::string& fixedTime, int side) : side_(side) {
        std::vector<std::string> argv = {"/usr/bin/env", "LD_PRELOAD=" + fixedTime, "MESA_SHADER_CACHE_DISABLE=true",
                                         game, std::to_string(side), std::to_string(side)};
        // Above 14 x 14, a quarter of the side of each ship type.
        if (side > 14)
            for (int i = 0; i < 4; ++i) argv.push_back(std::to_string(side / 4));
        const std::string folder = game.substr(0, game.find_last_of('/'));
        process_ = std::make_unique<xtest::Process>(argv, folder, server_.display());
        process_->waitForOutput("Rendering game...", std::chrono::seconds(60));
        settle(process_->pid());
    }
    bool ok() { return server_.ok() && process_->running(); }

    // Screen pixel of the middle of a cell: own board or record board.
    std::pair<int, int> cell(bool record, int x, int y) const {
        const float w = 1599, h = 899;
        const float columns = static_cast<float>(side_ + 1);
        float size = w * 10.0f / 22.0f;
        float space = (w - 2.0f * size) / 3.0f;
        const float middle = space;
        float top = (h - size) / 2.0f;
        if (top < 30.0f) {
            top = 30.0f;
            size = h - 60.0f;
            space = (w - (2.0f * size + middle)) / 2.0f;
        }
        const float cellSize = size / columns;
        const float left = 160 + space + (record ? size + middle : 0);
        return {static_cast<int>(left + (static_cast<float>(x) + 1.5f) * cellSize),
                static_cast<int>(70 + top + (static_cast<float>(y) + 1.5f) * cellSize)};
    }

    void move(bool record, int x, int y) {
        const auto p = cell(record, x, y);
        server_.move(p.first, p.second);
    }
    void unmeasured(const std::vector<std::string>& args) {
        server_.xdotool(args);
        settle(process_->pid());
    }
    // The CPU the events cost, and the wall time from the first moment the
    // game used CPU after them to the last, watched while xdotool sends them
    // (its own start-up left out) until the game has been idle for 150 ms.
    Cost measured(const std::vector<std::vector<std::string>>& events) {
        const pid_t pid = process_->pid();
        const double before = cpuMs(pid);
        std::atomic<bool> sent{false};
        Cost cost;
        std::thread watch([&] {
            double last = before;
            Clock::time_point first, lastChange = Clock::now();
            bool changed = false;
            while (!sent || Clock::now() - lastChange < std::chrono::milliseconds(150)) {
                std::this_thread::sleep_for(std::chrono::microseconds(500));
                const double now = cpuMs(pid);
                if (now == last) continue;
                if (!changed) first = Clock::now();
                changed = true;
                last = now;
                lastChange = Clock::now();
            }
            cost = {last - before, changed ? std::chrono::duration<double, std::milli>(lastChange - first).count() : 0};
        });
        for (const auto& event : events) server_.xdotool(event);
        sent = true;
        watch.join();
        return cost;
    }
    Cost moveTo(bool record, int x, int y) {
        const auto p = cell(record, x, y);
        return measured({{"mousemove", std::to_string(p.first), std::to_string(p.second)}});
    }

private:
    int side_;
    xtest::XServer server_;
    std::unique_ptr<xtest::Process> process_;
};

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
