#ifndef BATTLESHIPS_BENCH_GAME_SESSION_H
#define BATTLESHIPS_BENCH_GAME_SESSION_H

// A game on its own X server for the benchmarks and frame comparisons,
// started on a fixed deal and driven by xdotool, with the CPU time of every
// thread of its process.

#include <dirent.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "xsession.h"

namespace bench {

using Clock = std::chrono::steady_clock;

// CPU time of every thread of a process, in milliseconds.
inline double cpuMs(pid_t pid) {
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

// Waits until the process has used no CPU for 150 ms; the last moment it
// used some, or the start when it used none.
inline Clock::time_point settle(pid_t pid) {
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
    return lastChange;
}

// One game on its own X server, driven by xdotool, on a fixed deal.
class Session {
public:
    // The game started with these arguments on a board of w x h cells.
    Session(const std::string& game, const std::string& fixedTime, const std::vector<std::string>& args, int w,
            int h)
        : w_(w), h_(h) {
        std::vector<std::string> argv = {"/usr/bin/env", "LD_PRELOAD=" + fixedTime, "MESA_SHADER_CACHE_DISABLE=true",
                                         game};
        argv.insert(argv.end(), args.begin(), args.end());
        const std::string folder = game.substr(0, game.find_last_of('/'));
        process_ = std::make_unique<xtest::Process>(argv, folder, server_.display());
        process_->waitForOutput("Rendering game...", std::chrono::seconds(60));
        settle(process_->pid());
    }
    // A side x side board; above 14 x 14, a quarter of the side of each
    // ship type.
    Session(const std::string& game, const std::string& fixedTime, int side)
        : Session(game, fixedTime, squareArgs(side), side, side) {}
    static std::vector<std::string> squareArgs(int side) {
        std::vector<std::string> args = {std::to_string(side), std::to_string(side)};
        if (side > 14)
            for (int i = 0; i < 4; ++i) args.push_back(std::to_string(side / 4));
        return args;
    }

    bool ok() { return server_.ok() && process_->running(); }
    const xtest::XServer& server() const { return server_; }
    xtest::Process& process() { return *process_; }

    // From now on, cells are where they lie in the full-screen window.
    void fullScreen() { window_ = {0, 0, 1920, 1080}; }

    // Screen pixel of the middle of a cell: own board or record board, in
    // the window as it opens (1599 x 899 at 160, 70) or full screen.
    std::pair<int, int> cell(bool record, int x, int y) const {
        const float w = window_.w, h = window_.h;
        const float columns = static_cast<float>(w_ + 1), rows = static_cast<float>(h_ + 1);
        float sizeW = w * 10.0f / 22.0f;
        float sizeH = rows * (sizeW / columns);
        float space = (w - 2.0f * sizeW) / 3.0f;
        const float middle = space;
        float top = (h - sizeH) / 2.0f;
        if (top < 30.0f) {
            top = 30.0f;
            sizeH = h - 60.0f;
            sizeW = columns * (sizeH / rows);
            space = (w - (2.0f * sizeW + middle)) / 2.0f;
        }
        const float cellW = sizeW / columns, cellH = sizeH / rows;
        const float left = window_.x + space + (record ? sizeW + middle : 0);
        return {static_cast<int>(left + (static_cast<float>(x) + 1.5f) * cellW),
                static_cast<int>(window_.y + top + (static_cast<float>(y) + 1.5f) * cellH)};
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
    struct Window {
        float x, y, w, h;
    };
    int w_, h_;
    Window window_{160, 70, 1599, 899};
    xtest::XServer server_;
    std::unique_ptr<xtest::Process> process_;
};

}  // namespace bench

#endif
