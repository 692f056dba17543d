// One whole frame of a battle, and one with the hint overlay on, on the X display
// named by DISPLAY (make bench starts an Xvfb for it). GLUT opens one window
// per process, so each board size is a run of its own:
//   BENCH_SIDE=14 bench_frame      (default 100)

#include <benchmark/benchmark.h>

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <iostream>
#include <sstream>

#include "battleships.h"
#include "computer.h"
#include "display.h"
#include "human.h"
#include "ship.h"

namespace {

// Reaches the window's callbacks the way GLUT would call them.
class FrameBench : public Display {
public:
    using Display::Display;
    // A whole frame: a new layout leaves nothing of the last one to keep.
    static void draw() {
        onResize(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
        onDisplay();
    }
    static void press(int button, int state, int x, int y) { onMouse(button, state, x, y); }
};

Battleships* battle(int side) {
    srand(3);
    std::ostringstream sink;
    std::streambuf* old = std::cout.rdbuf(sink.rdbuf());
    Battleships* game = new Battleships(Coord(side, side), Human(), Computer(true));
    // The default fleet on the default board, else 25 ships of each type.
    const int counts[4] = {side <= 14 ? 2 : 25, side <= 14 ? 3 : 25, side <= 14 ? 4 : 25, side <= 14 ? 3 : 25};
    addFleet(*game, counts);
    game->newGame();
    game->mainPlayer->loadShips();
    // Half of each board shot at, in random order, by both sides.
    Player* human = game->mainPlayer;
    Player* computer = game->secondPlayer;
    const int w = human->enemyField->w;
    const int h = human->enemyField->h;
    for (int i = 0; i < w * h / 2; ++i) {
        Coord a(rand() % w, rand() % h);
        Coord b(rand() % w, rand() % h);
        human->play(a, computer);
        computer->play(b, human);
    }
    std::cout.rdbuf(old);
    return game;
}

void frame(benchmark::State& state, bool overlay) {
    // GLUT opens one window per process: the benchmark's runs share it.
    static const int side = static_cast<int>(state.range(0));
    static Battleships* game = battle(side);
    static FrameBench* display = [] {
        std::ostringstream sink;
        std::streambuf* old = std::cout.rdbuf(sink.rdbuf());
        FrameBench* d = new FrameBench(game);
        std::cout.rdbuf(old);
        // Let the window appear and get its size.
        for (int i = 0; i < 20; ++i) glutMainLoopEvent();
        return d;
    }();
    (void)display;
    const int w = glutGet(GLUT_WINDOW_WIDTH);
    const int h = glutGet(GLUT_WINDOW_HEIGHT);
    // Right button held over the record board: the overlay shows.
    FrameBench::press(GLUT_RIGHT_BUTTON, overlay ? GLUT_DOWN : GLUT_UP, w * 3 / 4, h / 2);
    for (auto _ : state) {
        FrameBench::draw();
        glFinish();
    }
    // BENCH_SHOT=<file>: the last frame as a PPM image, to compare drawings.
    if (const char* shot = std::getenv("BENCH_SHOT")) {
        std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 3);
        FrameBench::draw();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        const std::string name = std::string(shot) + (overlay ? "-overlay" : "") + ".ppm";
        if (FILE* out = std::fopen(name.c_str(), "wb")) {
            std::fprintf(out, "P6\n%d %d\n255\n", w, h);
            for (int row = h - 1; row >= 0; --row) std::fwrite(&pixels[static_cast<size_t>(row) * w * 3], 1, static_cast<size_t>(w) * 3, out);
            std::fclose(out);
        }
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel(std::to_string(game->mainPlayer->myField->w) + " x " + std::to_string(game->mainPlayer->myField->h) +
                   " board, " + std::to_string(w) + " x " + std::to_string(h) + " window");
}

}  // namespace

int main(int argc, char** argv) {
    const char* side = std::getenv("BENCH_SIDE");
    const int n = side != nullptr ? std::max(1, std::atoi(side)) : 100;
    benchmark::RegisterBenchmark("frame", frame, false)->Arg(n)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
    benchmark::RegisterBenchmark("frameWithOverlay", frame, true)->Arg(n)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
