#include "canvas.h"

#include "present_check.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Every vertex is drawn at whole pixels, truncated toward zero.
void vertex(float x, float y) {
    glVertex2i(static_cast<int>(x), static_cast<int>(y));
}

void quad(float left, float top, float right, float bottom) {
    glBegin(GL_QUADS);
    vertex(left, top);
    vertex(right, top);
    vertex(right, bottom);
    vertex(left, bottom);
    glEnd();
}

const float kClear[4] = {0.294f, 0.364f, 0.909f, 0.0f};

// The strong blue around the boards.
void clearColour() {
    glClearColor(kClear[0], kClear[1], kClear[2], kClear[3]);
}

// A clear under a scissor takes another path in Mesa's renderer, which
// truncates where the whole clear rounds: a colour a quarter step above the
// 8-bit value the whole clear gives comes out the same on both.
void partialClearColour() {
    auto step = [](float c) { return (std::round(c * 255.0f) + 0.25f) / 255.0f; };
    glClearColor(step(kClear[0]), step(kClear[1]), step(kClear[2]), kClear[3]);
}

// Lines are up to 3 pixels wide and smoothed ones reach a pixel further, so
// anything within this of a clip may still touch it.
const float kReach = 4;

// Where the font's characters are captured.
const int kCaptureSize = 48;

}  // namespace

Canvas::~Canvas() {
    if (watchDisplay != nullptr) XCloseDisplay(static_cast<::Display*>(watchDisplay));
}

void Canvas::init() {
    clearColour();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void Canvas::resize(int width, int height) {
    windowW = static_cast<float>(width);
    windowH = static_cast<float>(height);
    originX = 0;
    originY = 0;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    loadProjection();
}

void Canvas::translate(float x, float y) {
    originX += x;
    originY += y;
    loadProjection();
}

// The matrix is made anew from the origin each time: translations applied
// to it and taken back again leave it a rounding off, frame after frame,
// until a line on a pixel's edge falls on the other pixel.
void Canvas::loadProjection() {
    glLoadIdentity();
    if (inLayer) {
        const double wh = windowH;
        glOrtho(layerX, layerX + layerW, wh - layerY - layerH, wh - layerY, -1, 1);
    } else {
        glOrtho(0, windowW, 0, windowH, -1, 1);
    }
    glScalef(1, -1, 1);
    glTranslatef(0, -windowH, 0);
    glTranslatef(originX, originY, 0);
}

void Canvas::colour(float r, float g, float b, float a) {
    glColor4f(r, g, b, a);
}

void Canvas::fill(float left, float top, float right, float bottom) {
    if (!visible(left, top, right, bottom)) return;
    quad(left, top, right, bottom);
}

void Canvas::outline(float left, float top, float right, float bottom, float width) {
    if (!visible(left, top, right, bottom)) return;
    lineState(width, false);
    // Four segments, not a loop: Mesa's vertex store splits a loop that
    // fills it and then draws its first side twice, so the same outline
    // came out darker in one frame than in the next.
    glBegin(GL_LINES);
    vertex(left, top);
    vertex(right, top);
    vertex(right, top);
    vertex(right, bottom);
    vertex(right, bottom);
    vertex(left, bottom);
    vertex(left, bottom);
    vertex(left, top);
    glEnd();
}

void Canvas::beginLines() {
    lineState(1, false);
    glBegin(GL_LINES);
}

void Canvas::segment(float x1, float y1, float x2, float y2) {
    if (!visible(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2))) return;
    vertex(x1, y1);
    vertex(x2, y2);
}

void Canvas::endLines() {
    glEnd();
}

void Canvas::plainLines() {
    lineState(1, false);
}

void Canvas::cross(float left, float top, float right, float bottom) {
    if (!visible(std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)))
        return;
    lineState(2, true);
    glBegin(GL_LINES);
    vertex(left, top);
    vertex(right, bottom);
    vertex(right, top);
    vertex(left, bottom);
    glEnd();
}

int Canvas::textWidth(const char* text, bool big) {
    void* font = big ? GLUT_BITMAP_TIMES_ROMAN_24 : GLUT_BITMAP_HELVETICA_12;
    int width = 0;
    for (const char* c = text; *c != '\0'; ++c) width += glutBitmapWidth(font, static_cast<unsigned char>(*c));
    return width;
}

void Canvas::text(float x, float y, const char* text, float r, float g, float b, float a) {
    const Box reach = textReach(x, y, static_cast<float>(textWidth(text)));
    if (clipped && !visible(reach.left, reach.top, reach.right, reach.bottom)) return;
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
        if (textAsQuads(x, y, text)) return;
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

void Canvas::bigText(float x, float y, const char* text) {
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
bool Canvas::textAsQuads(float x, float y, const char* text) {
    if (!captured) return false;
    for (const char* c = text; *c != '\0'; ++c)
        if (*c < 32 || *c > 126) return false;
    const double margin = 1.0 / 256;
    const double wx = static_cast<double>(x) + originX;
    const double wy = static_cast<double>(windowH) - (static_cast<double>(y) + originY);
    const double fx = std::floor(wx);
    const double fy = std::floor(wy);
    if (wx - fx < margin || fx + 1 - wx < margin || wy - fy < margin || fy + 1 - wy < margin) return false;
    if (wx < 0 || wy < 0 || wx > windowW || wy > windowH) return true;
    glBegin(GL_QUADS);
    double advance = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        const Glyph& g = glyphs[static_cast<unsigned char>(*c)];
        for (const Glyph::Run& run : g.runs) {
            // Window pixels, y upwards, into drawing coordinates.
            const float left = static_cast<float>(fx + advance + run.x - originX);
            const float right = left + static_cast<float>(run.length);
            const float bottom = static_cast<float>(windowH - (fy + run.y) - originY);
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

// Draws each character once off the window and reads back which pixels its
// bitmap sets, so that text can later go out as quads in the same stream as
// the lines and quads around it. Without an off-screen buffer only the back
// buffer is left, and only before a whole frame, which covers it all.
void Canvas::capture() {
    const int h = static_cast<int>(windowH);
    if (h < 64 || windowW < 64) return;
    const bool off = toScratch();
    if (!off && clipped) return;
    // A raster position a quarter pixel into a whole pixel: its floor is sure.
    const float px = 24.25f;
    const float py = 40.25f;
    const int fx = 24;
    const int fy = h - 41;
    const int size = kCaptureSize;
    std::vector<unsigned char> pixels(static_cast<size_t>(size) * size * 3);
    glyphs.assign(256, Glyph());
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 0);
    if (!off) glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int c = 32; c < 127; ++c) {
        Glyph& g = glyphs[c];
        g.advance = glutBitmapWidth(GLUT_BITMAP_HELVETICA_12, c);
        glClear(GL_COLOR_BUFFER_BIT);
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
    captured = true;
    clearColour();
    glEnable(GL_BLEND);
    fromScratch();
}

// Setting the line state only when it changes lets the driver join
// neighbouring crosses into one batch.
void Canvas::lineState(float width, bool smooth) {
    if (width != lineWidth) {
        glLineWidth(width);
        lineWidth = width;
    }
    if (smooth != lineSmooth) {
        if (smooth)
            glEnable(GL_LINE_SMOOTH);
        else
            glDisable(GL_LINE_SMOOTH);
        lineSmooth = smooth;
    }
}

void Canvas::clip(const Box& box) {
    clipped = !box.empty();
    clipBox = box;
    // Every box under a scissor, whatever its size: Mesa 25 puts the whole
    // back buffer on the window when asked to copy a box, so nothing may be
    // drawn outside it (Mesa 22 copies only the box).
    if (clipped) {
        scissor(box);
        glEnable(GL_SCISSOR_TEST);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
}

bool Canvas::visible(float left, float top, float right, float bottom) const {
    if (!clipped) return true;
    const Box b{left + originX - kReach, top + originY - kReach, right + originX + kReach, bottom + originY + kReach};
    return b.overlaps(clipBox);
}

Box Canvas::area() const {
    if (!clipped) return {-originX - 1, -originY - 1, windowW - originX + 1, windowH - originY + 1};
    return {clipBox.left - originX, clipBox.top - originY, clipBox.right - originX, clipBox.bottom - originY};
}

namespace {

// A box's whole pixels inside the window, as GL counts them (from the bottom).
struct PixelRect {
    int x, y, w, h;
};

PixelRect pixelRect(const Box& box, float windowW, float windowH) {
    const int left = std::max(0, static_cast<int>(std::floor(box.left)));
    const int top = std::max(0, static_cast<int>(std::floor(box.top)));
    const int right = std::min(static_cast<int>(windowW), static_cast<int>(std::ceil(box.right)));
    const int bottom = std::min(static_cast<int>(windowH), static_cast<int>(std::ceil(box.bottom)));
    return {left, static_cast<int>(windowH) - bottom, std::max(0, right - left), std::max(0, bottom - top)};
}

}  // namespace

void Canvas::scissor(const Box& box) {
    const PixelRect r = pixelRect(box, windowW, windowH);
    glScissor(r.x, r.y, r.w, r.h);
}

namespace {

// A box's whole pixels, not cut to the window; y from the top.
struct Pixels {
    int x, y, w, h;
};

Pixels pixelsOf(const Box& box) {
    const int left = static_cast<int>(std::floor(box.left));
    const int top = static_cast<int>(std::floor(box.top));
    return {left, top, static_cast<int>(std::ceil(box.right)) - left, static_cast<int>(std::ceil(box.bottom)) - top};
}

// Raster positions nearer than this to a pixel's edge may land on either
// side of it, as far as this side of the renderer can tell.
const double kRasterMargin = 1.0 / 256;

}  // namespace

const Canvas::Glyph* Canvas::glyph(char c) const {
    if (!captured || c < 32 || c > 126) return nullptr;
    return &glyphs[static_cast<unsigned char>(c)];
}

int Canvas::rasterColumn(float x) {
    const double wx = static_cast<double>(x) + originX;
    if (wx < 0 || wx > windowW) return -1;
    const double f = std::floor(wx);
    if (wx - f >= kRasterMargin && f + 1 - wx >= kRasterMargin) return static_cast<int>(f);
    // A sure row in the middle of the window.
    return probeRaster(x, static_cast<float>(std::floor(windowH / 2) + 0.5 - originY), true);
}

int Canvas::rasterRow(float y) {
    const double wy = static_cast<double>(windowH) - (static_cast<double>(y) + originY);
    if (wy < 0 || wy > windowH) return -1;
    const double f = std::floor(wy);
    if (wy - f >= kRasterMargin && f + 1 - wy >= kRasterMargin) return static_cast<int>(windowH) - 1 - static_cast<int>(f);
    return probeRaster(static_cast<float>(std::floor(windowW / 2) + 0.5 - originX), y, false);
}

// Where the renderer puts a one-pixel bitmap at this raster position: the
// column or the row (from the top) of the pixel it sets, found off the
// window. Without an off-screen buffer, the pixel the position lies in.
int Canvas::probeRaster(float x, float y, bool column) {
    const double wx = static_cast<double>(x) + originX;
    const double wy = static_cast<double>(windowH) - (static_cast<double>(y) + originY);
    const int px = static_cast<int>(std::floor(wx)) - 1;
    const int py = static_cast<int>(std::floor(wy)) - 1;
    if (!toScratch()) return column ? px + 1 : static_cast<int>(windowH) - 1 - (py + 1);
    glEnable(GL_SCISSOR_TEST);
    glScissor(px, py, 3, 3);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    clearColour();
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
            if (pixels[(row * 3 + col) * 3] != 0)
                return column ? px + col : static_cast<int>(windowH) - 1 - (py + row);
    return -1;
}

bool Canvas::toScratch() {
    if (!scratch.bind(static_cast<int>(windowW), static_cast<int>(windowH))) return false;
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    return true;
}

void Canvas::fromScratch() {
    scratch.unbind();
    glReadBuffer(GL_BACK);
    if (clipped) {
        scissor(clipBox);
        glEnable(GL_SCISSOR_TEST);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
}

void Canvas::pushOrigin() {
    savedX = originX;
    savedY = originY;
}

void Canvas::popOrigin() {
    originX = savedX;
    originY = savedY;
    loadProjection();
}

void Canvas::shade(const Box& over, const std::vector<unsigned char>& alpha) {
    const Pixels p = pixelsOf(over);
    if (p.w <= 0 || p.h <= 0 || alpha.size() != static_cast<size_t>(p.w) * static_cast<size_t>(p.h)) {
        shaded = false;
        return;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (shadeTexture == 0) glGenTextures(1, &shadeTexture);
    glBindTexture(GL_TEXTURE_2D, shadeTexture);
    if (p.w != shadeW || p.h != shadeH) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, p.w, p.h, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, p.w, p.h, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    shadeX = p.x;
    shadeY = p.y;
    shadeW = p.w;
    shadeH = p.h;
    shaded = true;
}

namespace {

// Part of a texture laid over window pixels: the box (window pixels) within
// the texture's pixels from (x, y), rows from the top when flipped, else from
// the bottom; the origin at (ox, oy).
void texturedBox(const Box& box, int x, int y, int w, int h, bool flipped, float ox, float oy) {
    const float s0 = (box.left - static_cast<float>(x)) / static_cast<float>(w);
    const float s1 = (box.right - static_cast<float>(x)) / static_cast<float>(w);
    float t0 = (box.top - static_cast<float>(y)) / static_cast<float>(h);
    float t1 = (box.bottom - static_cast<float>(y)) / static_cast<float>(h);
    if (!flipped) {
        t0 = 1 - t0;
        t1 = 1 - t1;
    }
    glTexCoord2f(s0, t0);
    glVertex2f(box.left - ox, box.top - oy);
    glTexCoord2f(s1, t0);
    glVertex2f(box.right - ox, box.top - oy);
    glTexCoord2f(s1, t1);
    glVertex2f(box.right - ox, box.bottom - oy);
    glTexCoord2f(s0, t1);
    glVertex2f(box.left - ox, box.bottom - oy);
}

}  // namespace

// The part of each box within the texture's window pixels that the clip
// leaves, as quads of the bound texture.
void Canvas::texturedBoxes(const std::vector<Box>& where, int x, int y, int w, int h, bool flipped) const {
    const Box area{static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + w), static_cast<float>(y + h)};
    glBegin(GL_QUADS);
    for (const Box& box : where) {
        const Box b = box.cut(area);
        if (!b.empty() && visible(b.left - originX, b.top - originY, b.right - originX, b.bottom - originY))
            texturedBox(b, x, y, w, h, flipped, originX, originY);
    }
    glEnd();
}

void Canvas::showLayers(const std::vector<Box>& where, bool withLayer) {
    glEnable(GL_TEXTURE_2D);
    if (withLayer && layerDrawn) {
        glBindTexture(GL_TEXTURE_2D, offscreen.texture());
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        // The layer's colours already carry their coverage.
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        texturedBoxes(where, layerX, layerY, layerW, layerH, false);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    if (shaded) {
        glBindTexture(GL_TEXTURE_2D, shadeTexture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glColor4f(0, 0, 0, 1);
        texturedBoxes(where, shadeX, shadeY, shadeW, shadeH, true);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
}

void Canvas::keepPixels(const Box& box) {
    const PixelRect r = pixelRect(box, windowW, windowH);
    keptW = std::max(0, r.w);
    keptH = std::max(0, r.h);
    keptX = r.x;
    keptY = static_cast<int>(windowH) - r.y - r.h;
    keptPixels.resize(static_cast<size_t>(keptW) * static_cast<size_t>(keptH) * 4);
    keptUploaded = false;
    if (keptPixels.empty()) return;
    // Read in the order the window stores them: a plain copy.
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(r.x, r.y, r.w, r.h, GL_BGRA, GL_UNSIGNED_BYTE, keptPixels.data());
}

void Canvas::putBackPixels(const std::vector<Box>& where) {
    if (keptPixels.empty()) return;
    if (!keptUploaded) {
        if (keptTexture == 0) glGenTextures(1, &keptTexture);
        glBindTexture(GL_TEXTURE_2D, keptTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, keptW, keptH, 0, GL_BGRA, GL_UNSIGNED_BYTE, keptPixels.data());
        keptUploaded = true;
    }
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, keptTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const Box kept{static_cast<float>(keptX), static_cast<float>(keptY), static_cast<float>(keptX + keptW),
                   static_cast<float>(keptY + keptH)};
    glBegin(GL_QUADS);
    for (const Box& box : where) {
        const Box b = box.cut(kept);
        if (!b.empty()) texturedBox(b, keptX, keptY, keptW, keptH, false, originX, originY);
    }
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
}

bool Canvas::beginLayer(const Box& over) {
    const Pixels p = pixelsOf(over);
    const int left = p.x;
    const int top = p.y;
    const int w = p.w;
    const int h = p.h;
    if (!offscreen.bind(w, h)) return false;
    layerX = left;
    layerY = top;
    layerW = w;
    layerH = h;
    inLayer = true;
    windowClip = clipped ? clipBox : Box();
    glDisable(GL_SCISSOR_TEST);
    clipped = false;
    glViewport(0, 0, w, h);
    // The window's projection cut to the layer's pixels, with the origin
    // where it is on the window.
    loadProjection();
    // Colour and coverage add up as they would on the window, for the
    // layer to be laid over its pixels in one go.
    offscreen.blendAsLayer(true);
    return true;
}

void Canvas::layerScissor(const Box& box) {
    const int left = std::max(layerX, static_cast<int>(std::floor(box.left)));
    const int top = std::max(layerY, static_cast<int>(std::floor(box.top)));
    const int right = std::min(layerX + layerW, static_cast<int>(std::ceil(box.right)));
    const int bottom = std::min(layerY + layerH, static_cast<int>(std::ceil(box.bottom)));
    glScissor(left - layerX, layerY + layerH - bottom, std::max(0, right - left), std::max(0, bottom - top));
}

void Canvas::layerPart(const Box& box) {
    layerScissor(box);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    clearColour();
    clipped = true;
    clipBox = box;
}

void Canvas::endLayer() {
    if (!inLayer) return;
    inLayer = false;
    layerDrawn = true;
    offscreen.blendAsLayer(false);
    loadProjection();
    offscreen.unbind();
    glViewport(0, 0, static_cast<int>(windowW), static_cast<int>(windowH));
    clip(windowClip);
}

void Canvas::clear() {
    if (!captured) capture();
    if (clipped) {
        // Only the box: whatever lies around it may already be on the window.
        scissor(clipBox);
        glEnable(GL_SCISSOR_TEST);
        partialClearColour();
        glClear(GL_COLOR_BUFFER_BIT);
        clearColour();
    } else {
        glClear(GL_COLOR_BUFFER_BIT);
    }
}

// The window's Expose events reach GLUT, which only asks for a redraw; a
// connection of our own sees them too, so a frame knows whether the window
// still shows the last one.
void Canvas::openWatch() {
    watchTried = true;
    ::Display* glut = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (glut == nullptr || window == 0) return;
    const char* extensions = glXQueryExtensionsString(glut, DefaultScreen(glut));
    if (extensions == nullptr || std::strstr(extensions, "GLX_MESA_copy_sub_buffer") == nullptr) return;
    auto copy = reinterpret_cast<void (*)(::Display*, GLXDrawable, int, int, int, int)>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
    if (copy == nullptr) return;
    ::Display* watch = XOpenDisplay(DisplayString(glut));
    if (watch == nullptr) return;
    XSelectInput(watch, window, ExposureMask | StructureNotifyMask);
    XSync(watch, False);
    watchDisplay = watch;
    copySubBuffer = reinterpret_cast<void (*)(void*, unsigned long, int, int, int, int)>(copy);
}

bool Canvas::canRedrawPart() {
    if (!watchTried) {
        openWatch();
        // The first frame has nothing to keep.
        return false;
    }
    // The probe comes first: it makes the renderer take up the window's
    // size now, should it be due to.
    const bool fits = bufferFitsLayout();
    const bool kept = watchDisplay != nullptr && !windowChanged() && fits && !lost;
    lost = false;
    return kept;
}

// Events of the window since the last look: whether it lost what it showed
// (covered, resized, mapped anew).
bool Canvas::windowChanged() {
    ::Display* watch = static_cast<::Display*>(watchDisplay);
    // After the round trip every event the server sent before it is queued.
    XSync(watch, False);
    bool changed = false;
    while (XPending(watch) > 0) {
        XEvent event;
        XNextEvent(watch, &event);
        if (event.type == Expose || event.type == ConfigureNotify || event.type == MapNotify) changed = true;
    }
    return changed;
}

// Whether the back buffer has the size the layout was made for. Pixels read
// from outside the buffer are left as they were in the reader's memory.
bool Canvas::bufferFitsLayout() {
    const int w = width(), h = height();
    glReadBuffer(GL_BACK);
    auto inside = [](int x, int y) {
        GLfloat pixel[4] = {-1, -1, -1, -1};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, pixel);
        return pixel[0] >= 0;
    };
    // Mesa clips a read to the buffer as it was before the read makes the
    // renderer take up the window's size: a first read of a pixel every
    // buffer has lets the others be clipped to the buffer they read.
    inside(0, 0);
    return inside(w - 1, h - 1) && !inside(w, 0) && !inside(0, h);
}

void Canvas::showAll() {
    if (PresentCheck check = presentCheck()) check(*this, drawWhole, {});
    // Mesa's software renderer takes up the window's new size only at a
    // swap: a frame drawn after a part frame and a resize went into the
    // buffer of the old size. This swap makes the buffer anew, empty, and
    // the frame is drawn once more into it, at once but only once, lest a
    // renderer this probe misreads redraw for ever.
    const bool fits = bufferFitsLayout();
    glFlush();
    glutSwapBuffers();
    if (!fits) {
        lost = true;
        if (!redrawnUnfit) glutPostRedisplay();
    }
    redrawnUnfit = !fits;
}

void Canvas::showParts(const std::vector<Box>& boxes) {
    // The window changed while the boxes were drawn: the renderer may have
    // made its buffer anew under them. Nothing goes on the window; a whole
    // frame follows.
    if (!bufferFitsLayout() || windowChanged()) {
        lost = true;
        glutPostRedisplay();
        return;
    }
    if (PresentCheck check = presentCheck()) check(*this, drawWhole, boxes);
    // The copy takes the back buffer as it is: the renderer's threads must
    // have finished with it.
    glFinish();
    for (const Box& box : boxes) {
        const PixelRect r = pixelRect(box, windowW, windowH);
        if (r.w > 0 && r.h > 0) copySubBuffer(glXGetCurrentDisplay(), glXGetCurrentDrawable(), r.x, r.y, r.w, r.h);
    }
}
