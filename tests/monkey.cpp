// The window monkey: plays the real game through the X server with a seeded
// random stream of events (pointer, buttons, keys tapped and held, resizes, moves, unmap and
// map, a window laid over it), one game per seed, each on a board and fleet
// drawn from its seed, and checks every run (see monkey_run.h). Every run's
// events are written to <folder>/seed-<n>.events, which --events sends again.
//
//   monkey GAME PRELOAD FOLDER [--seed N] [--runs N | --seconds S]
//          [--events-per-run N] [--plain]
//   monkey GAME PRELOAD FOLDER --events FILE [--events FILE ...] [--plain]
//
// PRELOAD: the game's LD_PRELOAD, the fixed clock (libfixed_time.so) first.
// --plain: the game does not report its frames (not the checked game).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "monkey_run.h"
#include "xsession.h"

namespace {

using monkey::Event;

// A number from lo to hi, both included.
int between(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

bool chance(std::mt19937& rng, double p) {
    return std::uniform_real_distribution<double>(0, 1)(rng) < p;
}

// A board and fleet: small and square, long and thin, middling, large, up
// to 300 x 300; some fleets too big for their board, which then grows.
std::vector<std::string> drawGame(std::mt19937& rng) {
    int w = 0, h = 0;
    const int kind = between(rng, 0, 99);
    if (kind < 30) {
        w = between(rng, 1, 14);
        h = between(rng, 1, 14);
    } else if (kind < 45) {
        const int shape = between(rng, 0, 3);
        const int longSide = between(rng, 20, 60);
        w = shape == 0 ? 1 : shape == 1 ? longSide : shape == 2 ? 10 : 40;
        h = shape == 0 ? longSide : shape == 1 ? 1 : shape == 2 ? 40 : 10;
    } else if (kind < 70) {
        w = between(rng, 15, 60);
        h = between(rng, 15, 60);
    } else if (kind < 88) {
        w = between(rng, 60, 200);
        h = between(rng, 60, 200);
    } else {
        w = between(rng, 200, 300);
        h = chance(rng, 0.5) ? w : between(rng, 200, 300);
    }
    const int area = w * h;
    const int most = chance(rng, 0.1) ? 5 : area < 60 ? 2 : std::min(25, 3 + area / 400);
    std::vector<std::string> args = {std::to_string(w), std::to_string(h)};
    for (int type = 0; type < 4; ++type) args.push_back(std::to_string(between(rng, 0, most)));
    args.push_back(std::to_string(between(rng, 0, 1)));
    return args;
}

// The stream of one run. It keeps its own idea of the window's size, so
// that a seed gives the same events whatever the timing.
class RandomPlayer {
public:
    RandomPlayer(std::mt19937& rng, int events) : rng_(rng), left_(events) {}

    bool next(Event& event) {
        if (!queued_.empty()) {
            event = queued_.front();
            queued_.pop_front();
            return true;
        }
        if (left_ <= 0) return finish(event);
        --left_;
        // A window off the screen or under another comes back after a few
        // events: frames are what the run is for.
        if (!mapped_ && --backIn_ <= 0) {
            mapped_ = true;
            event = Event{"map", {}};
        } else if (covered_ && --backIn_ <= 0) {
            covered_ = false;
            event = Event{"uncover", {}};
        } else {
            event = draw();
        }
        // The pause after it: none, short, or long enough for a frame.
        const int pause = between(rng_, 0, 19);
        if (pause >= 8) queued_.push_back(Event{"wait", {pause < 15 ? between(rng_, 1, 20) : between(rng_, 20, 300)}});
        return true;
    }

private:
    Event draw() {
        const int pick = between(rng_, 0, 999);
        if (pick < 420) return move();
        if (pick < 520) {
            const int b = chance(rng_, 0.45) ? 1 : chance(rng_, 0.2) ? 2 : 3;
            held_.insert(b);
            return Event{"press", {b}};
        }
        if (pick < 620) {
            int b = chance(rng_, 0.5) ? 1 : 3;
            if (!held_.empty() && chance(rng_, 0.8)) b = *held_.begin();
            held_.erase(b);
            return Event{"release", {b}};
        }
        if (pick < 680) {
            static const char keys[] = "ssssnnnffx";
            const char key = keys[between(rng_, 0, 9)];
            if (key == 'f') {
                full_ = !full_;
                w_ = full_ ? 1920 : 1599;
                h_ = full_ ? 1080 : 899;
            }
            return Event{"key", {}, std::string(1, key)};
        }
        // Q ends the run; sent to a window off the screen it would not.
        if (pick < 682 && mapped_) return Event{"key", {}, "q"};
        if (pick < 760) return cursorKey();
        if (pick < 800) {
            const bool tiny = chance(rng_, 0.15);
            w_ = tiny ? between(rng_, 1, 120) : between(rng_, 200, 1920);
            h_ = tiny ? between(rng_, 1, 120) : between(rng_, 150, 1080);
            return Event{"resize", {w_, h_}};
        }
        if (pick < 830) return Event{"place", {between(rng_, -200, 1800), between(rng_, -200, 1000)}};
        if (pick < 850 && mapped_ && !covered_) {
            mapped_ = false;
            backIn_ = between(rng_, 1, 8);
            return Event{"unmap", {}};
        }
        if (pick < 880 && mapped_ && !covered_) {
            covered_ = true;
            backIn_ = between(rng_, 1, 15);
            return Event{"cover", {between(rng_, -100, w_), between(rng_, -100, h_), between(rng_, 1, 900),
                                   between(rng_, 1, 700)}};
        }
        return move();
    }

    // The keys that move and use the cursor, pressed, or held down (H for
    // the overlay, an arrow for its repeat) and let go some events later.
    Event cursorKey() {
        static const char* const taps[] = {"Left", "Right", "Up",  "Down",     "Left",  "Right", "Up", "Down",
                                           "Home", "End",   "Prior", "Next", "Return", "KP_Enter", "space",
                                           "r",    "R",     "h"};
        if (chance(rng_, 0.15)) {
            if (!heldKeys_.empty() && chance(rng_, 0.6)) {
                const std::string key = *heldKeys_.begin();
                heldKeys_.erase(heldKeys_.begin());
                return Event{"keyup", {}, key};
            }
            static const char* const holds[] = {"h", "h", "Right", "Down"};
            const std::string key = holds[between(rng_, 0, 3)];
            heldKeys_.insert(key);
            return Event{"keydown", {}, key};
        }
        return Event{"key", {}, taps[between(rng_, 0, static_cast<int>(std::size(taps)) - 1)]};
    }

    // Over the window mostly, now and then off its edges.
    Event move() {
        if (chance(rng_, 0.1)) return Event{"move", {between(rng_, -40, w_ + 40), between(rng_, -40, h_ + 40)}};
        return Event{"move", {between(rng_, 0, std::max(0, w_ - 1)), between(rng_, 0, std::max(0, h_ - 1))}};
    }

    // Buttons and keys let go, the window back on the screen and bare.
    bool finish(Event& event) {
        if (!heldKeys_.empty()) {
            event = Event{"keyup", {}, *heldKeys_.begin()};
            heldKeys_.erase(heldKeys_.begin());
            return true;
        }
        if (!held_.empty()) {
            event = Event{"release", {*held_.begin()}};
            held_.erase(held_.begin());
            return true;
        }
        if (!mapped_) {
            mapped_ = true;
            event = Event{"map", {}};
            return true;
        }
        if (covered_) {
            covered_ = false;
            event = Event{"uncover", {}};
            return true;
        }
        return false;
    }

    std::mt19937& rng_;
    int left_;
    std::deque<Event> queued_;
    std::set<int> held_;
    std::set<std::string> heldKeys_;
    bool mapped_ = true, covered_ = false, full_ = false;
    int backIn_ = 0;
    int w_ = 1599, h_ = 899;
};

void report(const std::string& what, const monkey::Result& r, const std::string& replay) {
    std::printf("monkey: %s: %d events, %d frames: %s\n", what.c_str(), r.events, r.frames,
                r.failures.empty() ? "ok" : "FAILED");
    for (const std::string& f : r.failures) std::printf("  %s\n", f.c_str());
    if (!r.failures.empty()) std::printf("  again: %s\n", replay.c_str());
    std::fflush(stdout);
}

// Plays a run; once more where the leak checker itself died, since that
// run checked nothing at its end. A second death fails as it stands.
monkey::Result played(const std::string& what, const std::function<monkey::Result()>& play) {
    monkey::Result r = play();
    if (!r.leakCheckDied) return r;
    std::printf("monkey: %s: the leak checker died at the game's exit; played again\n", what.c_str());
    std::fflush(stdout);
    return play();
}

int usage() {
    std::fprintf(stderr,
                 "usage: monkey GAME PRELOAD FOLDER [--seed N] [--runs N | --seconds S] "
                 "[--events-per-run N] [--plain]\n"
                 "       monkey GAME PRELOAD FOLDER --events FILE [--plain]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    monkey::Setup setup;
    setup.game = argv[1];
    setup.preload = argv[2];
    setup.folder = argv[3];
    setup.checked = true;
    long seed = 1, runs = 1, seconds = 0, perRun = 150;
    std::vector<std::string> eventsFiles;
    for (int i = 4; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--plain") {
            setup.checked = false;
            continue;
        }
        if (i + 1 >= argc) return usage();
        const std::string value = argv[++i];
        char* end = nullptr;
        const long n = std::strtol(value.c_str(), &end, 10);
        const bool number = *end == '\0' && !value.empty();
        if (flag == "--events") eventsFiles.push_back(value);
        else if (flag == "--seed" && number) seed = n;
        else if (flag == "--runs" && number && n > 0) runs = n;
        else if (flag == "--seconds" && number && n > 0) seconds = n;
        else if (flag == "--events-per-run" && number && n > 0) perRun = n;
        else return usage();
    }

    if (!eventsFiles.empty()) {
        int failed = 0;
        for (const std::string& file : eventsFiles) {
            monkey::Script script;
            std::string error;
            if (!monkey::readScript(xtest::readFile(file), script, error)) {
                std::fprintf(stderr, "monkey: %s: %s\n", file.c_str(), error.c_str());
                return 2;
            }
            const std::string base = file.substr(file.rfind('/') + 1);
            setup.name = "replay-" + base.substr(0, base.rfind('.'));
            const monkey::Result r = played(file, [&] {
                size_t at = 0;
                return monkey::play(setup, script.gameArgs, [&](monkey::Sender&, Event& e) {
                    if (at >= script.events.size()) return false;
                    e = script.events[at++];
                    return true;
                });
            });
            report(file, r, "make monkey EVENTS=" + file);
            if (!r.failures.empty()) ++failed;
        }
        return failed == 0 ? 0 : 1;
    }

    const auto started = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started).count();
    };
    long done = 0, events = 0, frames = 0, failed = 0;
    for (long s = seed;; ++s) {
        if (seconds > 0 ? elapsed() >= seconds : done >= runs) break;
        std::vector<std::string> args;
        setup.name = "seed-" + std::to_string(s);
        const monkey::Result r = played("seed " + std::to_string(s), [&] {
            std::mt19937 rng(static_cast<unsigned>(s));
            args = drawGame(rng);
            RandomPlayer player(rng, static_cast<int>(perRun));
            return monkey::play(setup, args, [&](monkey::Sender&, Event& e) { return player.next(e); });
        });
        std::string game = "game";
        for (const std::string& a : args) game += " " + a;
        report("seed " + std::to_string(s) + " (" + game + ")", r,
               "make monkey SEED=" + std::to_string(s) + ", or make monkey EVENTS=" + setup.folder + "/" +
                   setup.name + ".events");
        ++done;
        events += r.events;
        frames += r.frames;
        if (!r.failures.empty()) ++failed;
    }
    std::printf("monkey: %ld runs, %ld events, %ld frames, %ld failed, in %ld s\n", done, events, frames, failed,
                static_cast<long>(elapsed()));
    return failed == 0 ? 0 : 1;
}
