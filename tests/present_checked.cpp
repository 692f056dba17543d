// The game's test build: before each frame goes on the window, the whole
// back buffer is read and compared, pixel for pixel, with the whole frame of
// the same state drawn from scratch. A presentation may put any part of the
// back buffer on the window, so every pixel of it must be right.
//
// One line per frame goes to the file named by BATTLESHIPS_PRESENT_CHECK
// (standard error without it): "same", or "differs" with what differs and
// where, and the two pictures saved beside the file for the first few.

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "canvas.h"
#include "present_check.h"

namespace {

struct Pixels {
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;  // rows from the bottom, as GL reads them

    void read(int width, int height) {
        w = width;
        h = height;
        rgb.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * 3, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    }
    const unsigned char* at(int x, int yFromTop) const {
        return &rgb[(static_cast<size_t>(h - 1 - yFromTop) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 3];
    }
    bool save(const std::string& path) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr) return false;
        std::fprintf(f, "P6\n%d %d\n255\n", w, h);
        for (int y = 0; y < h; ++y) std::fwrite(at(0, y), 3, static_cast<size_t>(w), f);
        return std::fclose(f) == 0;
    }
};

FILE* checkLog() {
    static FILE* file = [] {
        const char* path = std::getenv("BATTLESHIPS_PRESENT_CHECK");
        FILE* f = path != nullptr ? std::fopen(path, "a") : nullptr;
        return f != nullptr ? f : stderr;
    }();
    return file;
}

std::string describe(const std::vector<Box>& parts) {
    if (parts.empty()) return "whole";
    std::string text = "part";
    char box[96];
    for (const Box& b : parts) {
        std::snprintf(box, sizeof box, " (%g,%g)-(%g,%g)", b.left, b.top, b.right, b.bottom);
        text += box;
    }
    return text;
}

void checkPresent(Canvas& canvas, const std::function<void()>& drawWhole, const std::vector<Box>& parts) {
    static int frame = 0;
    static int saved = 0;
    ++frame;
    const int w = canvas.width(), h = canvas.height();
    if (w <= 0 || h <= 0 || !drawWhole) return;
    glFinish();
    glReadBuffer(GL_BACK);
    Pixels shown;
    shown.read(w, h);
    // The whole frame goes into the back buffer itself: Mesa's renderer
    // blends some tiles of a texture a level apart from the same tiles of
    // the window, so a picture off the window is no measure. Where the two
    // agree, the back buffer is left as it was.
    canvas.clip(Box());
    drawWhole();
    glFinish();
    Pixels redrawn;
    redrawn.read(w, h);

    int differ = 0, fx = 0, fy = 0;
    Box where;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* a = shown.at(x, y);
            const unsigned char* b = redrawn.at(x, y);
            if (a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) continue;
            if (differ++ == 0) fx = x, fy = y;
            where = where.joined(Box{static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + 1),
                                     static_cast<float>(y + 1)});
        }
    if (differ == 0) {
        std::fprintf(checkLog(), "frame %d %s: same\n", frame, describe(parts).c_str());
    } else {
        const unsigned char* a = shown.at(fx, fy);
        const unsigned char* b = redrawn.at(fx, fy);
        std::fprintf(checkLog(),
                     "frame %d %s: differs, %d pixels within (%g,%g)-(%g,%g), the first at %d,%d: back buffer "
                     "%d,%d,%d, whole frame %d,%d,%d",
                     frame, describe(parts).c_str(), differ, where.left, where.top, where.right, where.bottom, fx, fy,
                     a[0], a[1], a[2], b[0], b[1], b[2]);
        const char* path = std::getenv("BATTLESHIPS_PRESENT_CHECK");
        if (path != nullptr && saved < 3) {
            ++saved;
            const std::string stem = std::string(path) + ".frame" + std::to_string(frame);
            if (shown.save(stem + ".shown.ppm") && redrawn.save(stem + ".whole.ppm"))
                std::fprintf(checkLog(), "; pictures %s.shown.ppm and %s.whole.ppm", stem.c_str(), stem.c_str());
        }
        std::fprintf(checkLog(), "\n");
    }
    std::fflush(checkLog());
}

// Set before main runs: the game's own main is linked unchanged.
[[maybe_unused]] const bool checking = (setPresentCheck(&checkPresent), true);

}  // namespace
