// The frames of this build against an earlier build's, on the same deal and
// the same events, screen by screen:
//   compare_frames NEW_GAME OLD_GAME FIXED_TIME_LIBRARY [same]
// Every frame without the hint overlay must be the same bytes. With "same",
// every frame with it too: for an earlier build that draws the overlay as
// this one does, as a check that a change of the code left the frames be.
// Otherwise, with the overlay, on
// boards whose numbers fit their cells, each channel within 2 levels of the
// earlier overlay; on boards of smaller cells, where the overlay lies over
// the board as one layer, every pixel the same as the earlier build's frame
// just before the press, or darker. Run it with LP_NUM_THREADS=0 as well:
// Mesa's renderer on one thread takes other paths.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "game_session.h"

using namespace bench;

namespace {

struct Scenario {
    const char* name;
    std::vector<std::string> args;
    int w, h;
    int shots;          // row by row on the record board; -1: to the end
    bool numbersFit;    // the overlay's numbers stay in their cells
    bool fullScreen;
};

struct Tally {
    int screens = 0, exact = 0, overlay = 0, failed = 0;
    int worstLevel = 0;
};

class Pair {
public:
    Pair(const Scenario& s, bool same, const char* newGame, const char* oldGame, const char* fixedTime)
        : scenario_(s), same_(same), fresh_(newGame, fixedTime, s.args, s.w, s.h), old_(oldGame, fixedTime, s.args, s.w, s.h) {}

    bool ok() { return fresh_.ok() && old_.ok(); }

    // The same xdotool arguments to both, then both screens compared.
    void event(const std::vector<std::string>& args, const std::string& what, bool overlay = false) {
        fresh_.unmeasured(args);
        old_.unmeasured(args);
        compare(what, overlay);
    }
    std::vector<std::string> at(bool record, int x, int y) const {
        const auto p = fresh_.cell(record, x, y);
        return {"mousemove", std::to_string(p.first), std::to_string(p.second)};
    }
    void fullScreen() {
        fresh_.fullScreen();
        old_.fullScreen();
    }
    bool over() { return fresh_.process().out().find(" won.") != std::string::npos; }
    const Tally& tally() const { return tally_; }

private:
    void compare(const std::string& what, bool overlay) {
        const xtest::Shot a(fresh_.server());
        xtest::Shot b(old_.server());
        std::swap(b, oldBefore_);
        // Over small cells the overlay is held against the frame under it.
        if (!overlay || scenario_.numbersFit || same_) b = oldBefore_;
        ++tally_.screens;
        if (!a.ok() || !b.ok() || a.width() != b.width() || a.height() != b.height()) {
            ++tally_.failed;
            std::printf("  %s: no screenshot\n", what.c_str());
            return;
        }
        int differ = 0, level = 0, lighter = 0, fx = -1, fy = -1;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const xtest::Rgb n = a.at(x, y), o = b.at(x, y);
                if (n.r == o.r && n.g == o.g && n.b == o.b) continue;
                if (differ++ == 0) fx = x, fy = y;
                level = std::max({level, std::abs(n.r - o.r), std::abs(n.g - o.g), std::abs(n.b - o.b)});
                if (n.r > o.r || n.g > o.g || n.b > o.b) ++lighter;
            }
        bool good = differ == 0;
        if (overlay) {
            ++tally_.overlay;
            tally_.worstLevel = std::max(tally_.worstLevel, level);
            good = same_ ? differ == 0 : scenario_.numbersFit ? level <= 2 : lighter == 0;
        } else if (good) {
            ++tally_.exact;
        }
        if (!good) ++tally_.failed;
        if (differ > 0 && (!good || overlay))
            std::printf("  %s%s: %d pixels differ, up to %d levels, %d lighter; the first at %d,%d\n",
                        good ? "" : "FAILED ", what.c_str(), differ, level, lighter, fx, fy);
        std::fflush(stdout);
    }

    const Scenario& scenario_;
    const bool same_;
    Session fresh_, old_;
    xtest::Shot oldBefore_{old_.server()};
    Tally tally_;
};

// Placing previews, S, the target square, shots row by row with the overlay
// held after every few, the banner, F and back, N.
Tally play(const Scenario& s, bool same, const char* newGame, const char* oldGame, const char* fixedTime) {
    Pair pair(s, same, newGame, oldGame, fixedTime);
    if (!pair.ok()) {
        std::printf("  the games did not start\n");
        return Tally{1, 0, 0, 1, 0};
    }
    if (s.fullScreen) {
        pair.fullScreen();
        pair.event({"key", "f"}, "F");
    }
    pair.event(pair.at(false, s.w - 1, 1), "a preview past the right edge");
    pair.event({"click", "3"}, "the preview turned");
    pair.event(pair.at(false, 1, s.h - 1), "a turned preview past the bottom");
    pair.event({"key", "s"}, "S");
    pair.event(pair.at(true, 0, 0), "the target square");
    const int shots = s.shots < 0 ? s.w * s.h : s.shots;
    for (int i = 0; i < shots && !pair.over(); ++i) {
        const int x = i % s.w, y = i / s.w;
        std::vector<std::string> click = pair.at(true, x, y);
        click.insert(click.end(), {"click", "1"});
        pair.event(click, "shot " + std::to_string(x) + "," + std::to_string(y));
        if (i % 5 == 0 || s.shots >= 0) {
            pair.event({"mousedown", "3"}, "overlay after shot " + std::to_string(i + 1), true);
            pair.event({"mouseup", "3"}, "overlay let go after shot " + std::to_string(i + 1));
        }
    }
    if (s.shots < 0 && !pair.over()) std::printf("  FAILED: no banner after every cell was shot\n");
    pair.event({"key", "f"}, "F");
    pair.event({"key", "f"}, "F again");
    pair.event({"key", "n"}, "N");
    return pair.tally();
}

}  // namespace

int main(int argc, char** argv) {
    const bool same = argc == 5 && std::string(argv[4]) == "same";
    if (argc < 4 || (argc > 4 && !same)) {
        std::fprintf(stderr, "usage: compare_frames NEW_GAME OLD_GAME FIXED_TIME_LIBRARY [same]\n");
        return 2;
    }
    const std::vector<Scenario> scenarios = {
        {"14 x 14, to the banner", Session::squareArgs(14), 14, 14, -1, true, false},
        {"14 x 14, full screen", Session::squareArgs(14), 14, 14, 6, true, true},
        {"10 x 40, fitted", {"10", "40"}, 10, 40, 6, true, false},
        {"100 x 100", Session::squareArgs(100), 100, 100, 5, false, false},
        {"300 x 300", Session::squareArgs(300), 300, 300, 4, false, false},
    };
    bool good = true;
    for (const Scenario& s : scenarios) {
        std::printf("%s\n", s.name);
        std::fflush(stdout);
        const Tally t = play(s, same, argv[1], argv[2], argv[3]);
        std::printf("  %d screens: %d without the overlay, %d of them the same bytes; %d with it, up to %d levels "
                    "from %s; %d failed\n",
                    t.screens, t.screens - t.overlay, t.exact, t.overlay, t.worstLevel,
                    s.numbersFit || same ? "the earlier overlay" : "the frame under it", t.failed);
        good = good && t.failed == 0;
    }
    std::printf("\n%s\n", good ? "every frame as required" : "some frames differ");
    return good ? 0 : 1;
}
