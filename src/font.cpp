#include "font.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>

namespace {

// Raster positions nearer than this to a pixel's edge may land on either
// side of it, as far as this side of the renderer can tell.
const double kRasterMargin = 1.0 / 256;

// The whole pixel a raster coordinate lies in, when it lies far enough from
// the pixel's edges to be sure of it.
bool sureFloor(double v, double& floor) {
    floor = std::floor(v);
    return v - floor >= kRasterMargin && floor + 1 - v >= kRasterMargin;
}

// Where the characters are captured.
const int kCaptureSize = 48;

}  // namespace

int Font::textWidth(const char* text, bool big) {
    void* font = big ? GLUT_BITMAP_TIMES_ROMAN_24 : GLUT_BITMAP_HELVETICA_12;
    int width = 0;
    for (const char* c = text; *c != '\0'; ++c) width += glutBitmapWidth(font, static_cast<unsigned char>(*c));
    return width;
}

void Font::text(float x, float y, const char* text, float r, float g, float b, float a) {
    // Quads get the colour on the window's 8-bit grid: Mesa's fast path for
    // plain rectangles truncates 0.5 to 127 where its general path, and so
    // the bitmaps, round it to 128; from the grid both agree. Translucent
    // white text keeps its bitmaps: as quads it draws alike, but the bitmaps
    // end the renderer's batch, so its threads start on the first board while
    // the second is built, and a frame of one huge batch is several times
    // slower.
    if (a >= 1 || (r == 0 && g == 0 && b == 0)) {
        auto grid = [](float c) { return static_cast<float>(std::round(static_cast<double>(c) * 255) / 255); };
        glColor4f(grid(r), grid(g), grid(b), grid(a));
        if (asQuads(x, y, text)) return;
    }
    glColor4f(r, g, b, a);

    // The font's characters compiled once: the same bitmaps, far cheaper to
    // draw by the thousand.
    if (glyphLists == 0) {
        glyphLists = glGenLists(256);
        for (int c = 1; c < 256; ++c) {
            glNewList(glyphLists + c, GL_COMPILE);
            glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, c);
            glEndList();
        }
    }
    glRasterPos2f(x, y);
    for (const char* c = text; *c != '\0'; ++c) glCallList(glyphLists + static_cast<unsigned char>(*c));
}

void Font::bigText(float x, float y, const char* text) {
    glRasterPos2f(x, y);
    for (const char* c = text; *c != '\0'; ++c)
        glutBitmapCharacter(GLUT_BITMAP_TIMES_ROMAN_24, static_cast<unsigned char>(*c));
}

// The text's bitmaps as one batch of quads, one per run of pixels they set,
// each covering exactly those pixels, with the raster position's rules: no
// text at all when it lies outside the window, each bitmap at the whole pixel
// below and left of it. Where the raster position lies too near a pixel's
// edge to be sure of that pixel the answer is false, and the caller draws the
// bitmaps themselves. No two characters of the font set one pixel, so no
// pixel is blended twice.
bool Font::asQuads(float x, float y, const char* text) const {
    if (!captured) return false;
    for (const char* c = text; *c != '\0'; ++c)
        if (*c < 32 || *c > 126) return false;
    const double wx = static_cast<double>(x) + view.originX;
    const double wy = static_cast<double>(view.windowH) - (static_cast<double>(y) + view.originY);
    double fx, fy;
    if (!sureFloor(wx, fx) || !sureFloor(wy, fy)) return false;
    if (wx < 0 || wy < 0 || wx > view.windowW || wy > view.windowH) return true;
    glBegin(GL_QUADS);
    double advance = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        const Glyph& g = glyphs[static_cast<unsigned char>(*c)];
        for (const Glyph::Run& run : g.runs) {
            // Window pixels, y upwards, into drawing coordinates.
            const float left = static_cast<float>(fx + advance + run.x - view.originX);
            const float right = left + static_cast<float>(run.length);
            const float bottom = static_cast<float>(view.windowH - (fy + run.y) - view.originY);
            const float top = bottom - 1;
            glVertex2f(left, top);
            glVertex2f(right, top);
            glVertex2f(right, bottom);
            glVertex2f(left, bottom);
        }
        advance += g.advance;
    }
    glEnd();
    return true;
}

void Font::captureOnce() {
    if (!captured) capture();
}

// Draws each character once off the window and reads back which pixels its
// bitmap sets, so that text can later go out as quads in the same stream as
// the lines and quads around it. Without an off-screen buffer only the back
// buffer is left, and only before a whole frame, which covers it all.
void Font::capture() {
    if (view.windowH < 64 || view.windowW < 64) return;
    const bool off = toScratch();
    if (!off && view.clipped) return;
    std::vector<unsigned char> pixels(static_cast<size_t>(kCaptureSize) * kCaptureSize * 3);
    glyphs.assign(256, Glyph());
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    if (!off) glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int c = 32; c < 127; ++c) captureGlyph(c, pixels);
    captured = true;
    glEnable(GL_BLEND);
    fromScratch();
}

// One character drawn alone and read back as runs of set pixels.
void Font::captureGlyph(int c, std::vector<unsigned char>& pixels) {
    // A raster position a quarter pixel into a whole pixel: its floor is sure.
    const float px = 24.25f;
    const float py = 40.25f;
    const int fx = 24;
    const int fy = static_cast<int>(view.windowH) - 41;
    const int size = kCaptureSize;
    Glyph& g = glyphs[static_cast<size_t>(c)];
    g.advance = glutBitmapWidth(GLUT_BITMAP_HELVETICA_12, c);
    clearToNothing();
    glColor4f(1, 1, 1, 1);
    glRasterPos2f(px, py);
    glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, c);
    glReadPixels(fx - size / 2, fy - size / 2, size, size, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    for (int row = 0; row < size; ++row) {
        int start = -1;
        for (int col = 0; col <= size; ++col) {
            const bool set = col < size && pixels[(static_cast<size_t>(row) * size + col) * 3] != 0;
            if (set && start < 0) start = col;
            if (!set && start >= 0) {
                g.runs.push_back({start - size / 2, row - size / 2, col - start});
                start = -1;
            }
        }
    }
}

int Font::rasterColumn(float x) {
    const double wx = static_cast<double>(x) + view.originX;
    if (wx < 0 || wx > view.windowW) return -1;
    double f;
    if (sureFloor(wx, f)) return static_cast<int>(f);
    // A sure row in the middle of the window.
    return probeRaster(x, static_cast<float>(std::floor(view.windowH / 2) + 0.5 - view.originY), true);
}

int Font::rasterRow(float y) {
    const double wy = static_cast<double>(view.windowH) - (static_cast<double>(y) + view.originY);
    if (wy < 0 || wy > view.windowH) return -1;
    double f;
    if (sureFloor(wy, f)) return static_cast<int>(view.windowH) - 1 - static_cast<int>(f);
    return probeRaster(static_cast<float>(std::floor(view.windowW / 2) + 0.5 - view.originX), y, false);
}

// Where the renderer puts a one-pixel bitmap at this raster position: the
// column or the row (from the top) of the pixel it sets, found off the
// window. Without an off-screen buffer, the pixel the position lies in.
int Font::probeRaster(float x, float y, bool column) {
    const int h = static_cast<int>(view.windowH);
    const double wx = static_cast<double>(x) + view.originX;
    const double wy = static_cast<double>(view.windowH) - (static_cast<double>(y) + view.originY);
    const int px = static_cast<int>(std::floor(wx)) - 1;
    const int py = static_cast<int>(std::floor(wy)) - 1;
    if (!toScratch()) return column ? px + 1 : h - 1 - (py + 1);
    glEnable(GL_SCISSOR_TEST);
    glScissor(px, py, 3, 3);
    clearToNothing();
    glColor4f(1, 1, 1, 1);
    glRasterPos2f(x, y);
    const GLubyte bit = 0x80;
    glBitmap(1, 1, 0, 0, 0, 0, &bit);
    unsigned char pixels[3 * 3 * 3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(px, py, 3, 3, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    fromScratch();
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            if (pixels[(row * 3 + col) * 3] != 0) return column ? px + col : h - 1 - (py + row);
    return -1;
}

bool Font::count(const char* text, int column, int row, const PixelBox& into,
                 std::vector<unsigned char>& counts) const {
    if (!captured) return false;
    int pen = column;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < 32 || *c > 126) break;
        const Glyph& glyph = glyphs[static_cast<unsigned char>(*c)];
        for (const Glyph::Run& run : glyph.runs) {
            // The run's row, from the raster pixel upwards.
            const int py = row - run.y - into.y;
            const int px = pen + run.x - into.x;
            if (py < 0 || py >= into.h) continue;
            unsigned char* p = &counts[static_cast<size_t>(py) * static_cast<size_t>(into.w)];
            for (int i = std::max(0, px); i < std::min(into.w, px + run.length); ++i)
                if (p[i] < 255) ++p[i];
        }
        pen += glyph.advance;
    }
    return true;
}

bool Font::toScratch() {
    if (!scratch.bind(static_cast<int>(view.windowW), static_cast<int>(view.windowH))) return false;
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    return true;
}

void Font::fromScratch() {
    scratch.unbind();
    glReadBuffer(GL_BACK);
    view.applyClip();
}
