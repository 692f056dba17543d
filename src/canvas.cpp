#include "canvas.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Every vertex is drawn at whole pixels, truncated toward zero.
void vertex(float x, float y) {
    glVertex2i(static_cast<int>(x), static_cast<int>(y));
}

void rectangle(GLenum mode, float left, float top, float right, float bottom) {
    glBegin(mode);
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

// Where the font's characters are captured, and the atlas they go to.
const int kCaptureSize = 48;
const int kAtlasW = 1024;
const int kAtlasH = 1024;
// Crosses are captured below the glyphs, on shelves.
const int kCrossTop = 256;
const int kCaptureFbo = 64;
const int kAtlasCell = 32;
const float kScissorArea = 256 * 256;
// Crosses this translucent or fainter come from captures: the hint crosses,
// thousands a frame. The few opaque ones are drawn as lines.
const float kCapturedAlpha = 0.1f;

}  // namespace

Box Box::joined(const Box& other) const {
    if (empty()) return other;
    if (other.empty()) return *this;
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
}

Canvas::~Canvas() {
    if (watchDisplay != nullptr) XCloseDisplay(static_cast<::Display*>(watchDisplay));
}

void Canvas::init() {
    clearColour();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void Canvas::resize(int width, int height) {
    crosses.clear();
    crossesFull = false;
    shelfX = 0;
    shelfY = kCrossTop;
    shelfH = 0;
    rasterXs.clear();
    rasterYs.clear();
    windowW = static_cast<float>(width);
    windowH = static_cast<float>(height);
    originX = 0;
    originY = 0;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glScalef(1, -1, 1);
    glTranslatef(0, static_cast<float>(-height), 0);
}

void Canvas::translate(float x, float y) {
    glTranslatef(x, y, 0);
    originX += x;
    originY += y;
}

void Canvas::colour(float r, float g, float b, float a) {
    glColor4f(r, g, b, a);
    current[0] = r;
    current[1] = g;
    current[2] = b;
    current[3] = a;
}

void Canvas::fill(float left, float top, float right, float bottom) {
    if (!visible(left, top, right, bottom)) return;
    textured(false);
    rectangle(GL_QUADS, left, top, right, bottom);
}

void Canvas::outline(float left, float top, float right, float bottom, float width) {
    if (!visible(left, top, right, bottom)) return;
    textured(false);
    lineState(width, false);
    rectangle(GL_LINE_LOOP, left, top, right, bottom);
}

void Canvas::beginLines() {
    textured(false);
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

void Canvas::cross(float left, float top, float right, float bottom) {
    if (!visible(std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)))
        return;
    if (crossFromAtlas(left, top, right, bottom)) return;
    textured(false);
    lineState(2, true);
    glBegin(GL_LINES);
    vertex(left, top);
    vertex(right, bottom);
    vertex(right, top);
    vertex(left, bottom);
    glEnd();
}

// A cross as the two smoothed lines left them, captured once per shape,
// colour and origin: the renderer blends its 8-bit fragments, so the same
// fragments from a texture blend alike, and the crosses go out in one batch
// with the text around them.
bool Canvas::crossFromAtlas(float left, float top, float right, float bottom) {
    if (!captured || crossesFull || current[3] > kCapturedAlpha) return false;
    const int x1 = static_cast<int>(left), y1 = static_cast<int>(top);
    const int x2 = static_cast<int>(right), y2 = static_cast<int>(bottom);
    CrossKey key;
    std::memcpy(key.colour, current, sizeof current);
    key.dx = x2 - x1;
    key.dy = y2 - y1;
    key.fracX = originX - std::floor(originX);
    key.fracY = originY - std::floor(originY);
    auto found = std::find_if(crosses.begin(), crosses.end(), [&](const CrossShape& c) { return c.key == key; });
    if (found == crosses.end()) {
        CrossShape shape;
        shape.key = key;
        if (!captureCross(shape)) {
            crossesFull = true;
            return false;
        }
        crosses.push_back(shape);
        found = crosses.end() - 1;
    }
    // Capture pixel (0, 0) lies at this window pixel (x right, y up).
    const double baseX = x1 + std::floor(static_cast<double>(originX)) - kCaptureOffset;
    const double baseY = static_cast<double>(windowH) - y1 - std::floor(static_cast<double>(originY)) - kCaptureFbo + kCaptureOffset;
    textured(true);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    for (const CrossImage& image : found->lines) {
        if (image.width == 0) continue;
        const float l = static_cast<float>(baseX + image.x - originX);
        const float r = l + static_cast<float>(image.width);
        const float b = static_cast<float>(windowH - (baseY + image.y) - originY);
        const float t = b - static_cast<float>(image.height);
        const float s0 = static_cast<float>(image.atlasX) / kAtlasW;
        const float s1 = static_cast<float>(image.atlasX + image.width) / kAtlasW;
        const float t0 = static_cast<float>(image.atlasY) / kAtlasH;
        const float t1 = static_cast<float>(image.atlasY + image.height) / kAtlasH;
        glTexCoord2f(s0, t1);
        glVertex2f(l, t);
        glTexCoord2f(s1, t1);
        glVertex2f(r, t);
        glTexCoord2f(s1, t0);
        glVertex2f(r, b);
        glTexCoord2f(s0, t0);
        glVertex2f(l, b);
    }
    glEnd();
    glColor4f(current[0], current[1], current[2], current[3]);
    return true;
}

bool Canvas::captureCross(CrossShape& shape) {
    const int dx = shape.key.dx, dy = shape.key.dy;
    if (dx < 0 || dy < 0 || dx > kCaptureFbo - 2 * kCaptureOffset || dy > kCaptureFbo - 2 * kCaptureOffset)
        return false;
    if (fbo == 0) {
        auto get = [](const char* name) { return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)); };
        genFramebuffers = reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(get("glGenFramebuffers"));
        bindFramebuffer = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(get("glBindFramebuffer"));
        auto genRenderbuffers = reinterpret_cast<PFNGLGENRENDERBUFFERSPROC>(get("glGenRenderbuffers"));
        auto bindRenderbuffer = reinterpret_cast<PFNGLBINDRENDERBUFFERPROC>(get("glBindRenderbuffer"));
        auto storage = reinterpret_cast<PFNGLRENDERBUFFERSTORAGEPROC>(get("glRenderbufferStorage"));
        auto attach = reinterpret_cast<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(get("glFramebufferRenderbuffer"));
        auto status = reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(get("glCheckFramebufferStatus"));
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        if (version == nullptr || version[0] < '3' || !genFramebuffers || !bindFramebuffer || !genRenderbuffers ||
            !bindRenderbuffer || !storage || !attach || !status)
            return false;
        GLuint renderbuffer = 0;
        genRenderbuffers(1, &renderbuffer);
        bindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        storage(GL_RENDERBUFFER, GL_RGBA8, kCaptureFbo, kCaptureFbo);
        genFramebuffers(1, &fbo);
        bindFramebuffer(GL_FRAMEBUFFER, fbo);
        attach(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer);
        const bool complete = status(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        bindFramebuffer(GL_FRAMEBUFFER, 0);
        if (!complete) return false;
    }
    // The lines at the same fraction of a pixel as on the window, with no
    // blending: what lands is each fragment as the renderer blends it.
    bindFramebuffer(GL_FRAMEBUFFER, fbo);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    textured(false);
    lineState(2, true);
    glViewport(0, 0, kCaptureFbo, kCaptureFbo);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, kCaptureFbo, 0, kCaptureFbo, -1, 1);
    glScalef(1, -1, 1);
    glTranslatef(0, -static_cast<float>(kCaptureFbo), 0);
    glTranslatef(shape.key.fracX + kCaptureOffset, shape.key.fracY + kCaptureOffset, 0);
    glColor4f(current[0], current[1], current[2], current[3]);
    glClearColor(0, 0, 0, 0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, atlas);
    std::vector<unsigned char> pixels(static_cast<size_t>(kCaptureFbo) * kCaptureFbo * 4);
    bool ok = true;
    for (int line = 0; line < 2 && ok; ++line) {
        glClear(GL_COLOR_BUFFER_BIT);
        glBegin(GL_LINES);
        glVertex2i(line == 0 ? 0 : dx, 0);
        glVertex2i(line == 0 ? dx : 0, dy);
        glEnd();
        glReadPixels(0, 0, kCaptureFbo, kCaptureFbo, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        int minX = kCaptureFbo, minY = kCaptureFbo, maxX = -1, maxY = -1;
        for (int row = 0; row < kCaptureFbo; ++row)
            for (int col = 0; col < kCaptureFbo; ++col)
                if (pixels[(static_cast<size_t>(row) * kCaptureFbo + col) * 4 + 3] != 0) {
                    minX = std::min(minX, col);
                    maxX = std::max(maxX, col);
                    minY = std::min(minY, row);
                    maxY = std::max(maxY, row);
                }
        CrossImage& image = shape.lines[line];
        if (maxX < 0) continue;
        // Touching the capture's edge: it may have lost part of the line.
        if (minX == 0 || minY == 0 || maxX == kCaptureFbo - 1 || maxY == kCaptureFbo - 1) {
            ok = false;
            break;
        }
        image.x = minX;
        image.y = minY;
        image.width = maxX - minX + 1;
        image.height = maxY - minY + 1;
        if (shelfX + image.width > kAtlasW) {
            shelfX = 0;
            shelfY += shelfH + 1;
            shelfH = 0;
        }
        if (shelfY + image.height > kAtlasH) {
            ok = false;
            break;
        }
        image.atlasX = shelfX;
        image.atlasY = shelfY;
        shelfX += image.width + 1;
        shelfH = std::max(shelfH, image.height);
        std::vector<unsigned char> block(static_cast<size_t>(image.width) * image.height * 4);
        for (int row = 0; row < image.height; ++row)
            std::memcpy(&block[static_cast<size_t>(row) * image.width * 4],
                        &pixels[(static_cast<size_t>(minY + row) * kCaptureFbo + minX) * 4],
                        static_cast<size_t>(image.width) * 4);
        glTexSubImage2D(GL_TEXTURE_2D, 0, image.atlasX, image.atlasY, image.width, image.height, GL_RGBA,
                        GL_UNSIGNED_BYTE, block.data());
    }
    glPopMatrix();
    bindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glViewport(0, 0, static_cast<int>(windowW), static_cast<int>(windowH));
    glEnable(GL_BLEND);
    clearColour();
    if (scissored) glEnable(GL_SCISSOR_TEST);
    glColor4f(current[0], current[1], current[2], current[3]);
    return ok;
}

int Canvas::textWidth(const char* text, bool big) {
    void* font = big ? GLUT_BITMAP_TIMES_ROMAN_24 : GLUT_BITMAP_HELVETICA_12;
    int width = 0;
    for (const char* c = text; *c != '\0'; ++c) width += glutBitmapWidth(font, static_cast<unsigned char>(*c));
    return width;
}

void Canvas::text(float x, float y, const char* text, float r, float g, float b, float a) {
    // The font reaches 12 pixels above its baseline and 3 below.
    if (clipped && !visible(x - 2, y - 16, x + static_cast<float>(textWidth(text)) + 3, y + 6)) return;
    // Text on the window's 8-bit colour grid comes from the atlas: the
    // renderer then blends it exactly as the bitmaps it was captured from.
    if (a >= 1 || (r == 0 && g == 0 && b == 0)) {
        auto grid = [](float c) { return static_cast<float>(std::round(static_cast<double>(c) * 255) / 255); };
        glColor4f(grid(r), grid(g), grid(b), grid(a));
        if (textFromAtlas(x, y, text)) return;
    } else {
        glColor4f(r, g, b, a);
        if (textFromAtlas(x, y, text)) return;
    }
    textured(false);
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
    textured(false);
    glRasterPos2f(x, y);
    for (const char* c = text; *c != '\0'; ++c)
        glutBitmapCharacter(GLUT_BITMAP_TIMES_ROMAN_24, static_cast<unsigned char>(*c));
}

// One textured quad per character, covering exactly the pixels its bitmap
// sets, with the raster position's rules: no text at all when it lies outside
// the window, each bitmap at the whole pixel below and left of it. Where the
// raster position lies too near a pixel's edge to be sure of that pixel the
// answer is false, and the caller draws the bitmaps themselves. No two
// characters of the font set one pixel, so no pixel is blended twice.

bool Canvas::textFromAtlas(float x, float y, const char* text) {
    if (!captured) return false;
    for (const char* c = text; *c != '\0'; ++c)
        if (*c < 32 || *c > 126) return false;
    const double margin = 1.0 / 256;
    const double wx = static_cast<double>(x) + originX;
    const double wy = static_cast<double>(windowH) - (static_cast<double>(y) + originY);
    if (wx < -margin || wy < -margin || wx > windowW + margin || wy > windowH + margin) return true;
    double fx = std::floor(wx);
    double fy = std::floor(wy);
    // Near a pixel's edge only the renderer's own raster position tells
    // which pixel the bitmaps start at.
    float exactX = 0;
    bool exact = false;
    if (wx - fx < margin || fx + 1 - wx < margin || wy - fy < margin || fy + 1 - wy < margin) {
        float rx = 0, ry = 0;
        if (!rasterPosition(x, y, rx, ry) || !certainFloor(ry, fy)) return false;
        exact = true;
        exactX = rx;
    } else if (wx < 0 || wy < 0 || wx > windowW || wy > windowH) {
        return true;
    }
    textured(true);
    glBegin(GL_QUADS);
    double advance = 0;
    bool sure = true;
    for (const char* c = text; *c != '\0' && sure; ++c) {
        const Glyph& g = glyphs[static_cast<unsigned char>(*c)];
        double px = fx + advance;
        if (exact) sure = certainFloor(exactX, px);
        if (g.width > 0 && sure) {
            // Window pixels, y upwards, into drawing coordinates.
            const float left = static_cast<float>(px + g.left - originX);
            const float right = left + static_cast<float>(g.width);
            const float bottom = static_cast<float>(windowH - (fy + g.bottom) - originY);
            const float top = bottom - static_cast<float>(g.height);
            const float s0 = static_cast<float>(g.atlasX) / kAtlasW;
            const float s1 = static_cast<float>(g.atlasX + g.width) / kAtlasW;
            const float t0 = static_cast<float>(g.atlasY) / kAtlasH;
            const float t1 = static_cast<float>(g.atlasY + g.height) / kAtlasH;
            glTexCoord2f(s0, t1);
            glVertex2f(left, top);
            glTexCoord2f(s1, t1);
            glVertex2f(right, top);
            glTexCoord2f(s1, t0);
            glVertex2f(right, bottom);
            glTexCoord2f(s0, t0);
            glVertex2f(left, bottom);
        }
        advance += g.advance;
        // The raster position moves on in single precision, as it does in
        // the renderer.
        exactX += static_cast<float>(g.advance);
    }
    glEnd();
    return sure;
}

// A bitmap starts at the whole pixel below its raster position plus a
// ten-thousandth; a position too close to that edge stays unsure.
bool Canvas::certainFloor(float position, double& pixel) {
    const float shifted = position + 0.0001f;
    const float whole = std::floor(shifted);
    if (shifted - whole < 1e-5f || whole + 1 - shifted < 1e-5f) return false;
    pixel = whole;
    return true;
}

bool Canvas::rasterPosition(float x, float y, float& rx, float& ry) {
    // The window position of a drawing coordinate depends on that coordinate
    // and the origin alone, so each is asked once per layout.
    auto key = [](float origin, float value) {
        std::uint32_t a = 0, b = 0;
        std::memcpy(&a, &origin, sizeof a);
        std::memcpy(&b, &value, sizeof b);
        return (static_cast<std::uint64_t>(a) << 32) | b;
    };
    const std::uint64_t kx = key(originX, x);
    const std::uint64_t ky = key(originY, y);
    auto ix = rasterXs.find(kx);
    auto iy = rasterYs.find(ky);
    if (ix == rasterXs.end() || iy == rasterYs.end()) {
        textured(false);
        glRasterPos2f(x, y);
        GLboolean valid = GL_FALSE;
        glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
        if (!valid) return false;
        float position[4] = {0, 0, 0, 0};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        ix = rasterXs.emplace(kx, position[0]).first;
        iy = rasterYs.emplace(ky, position[1]).first;
    }
    rx = ix->second;
    ry = iy->second;
    return true;
}

// Draws each character once on a black back buffer and reads back which
// pixels its bitmap sets, into one texture: white and opaque where set,
// transparent elsewhere.
void Canvas::capture() {
    const int h = static_cast<int>(windowH);
    if (h < 64 || windowW < 64) return;
    // A raster position a quarter pixel into a whole pixel: its floor is sure.
    const float px = 24.25f;
    const float py = 40.25f;
    const int fx = 24;
    const int fy = h - 41;
    const int size = kCaptureSize;
    std::vector<unsigned char> pixels(static_cast<size_t>(size) * size * 3);
    std::vector<unsigned char> texels(static_cast<size_t>(kAtlasW) * kAtlasH * 4, 0);
    glyphs.assign(256, Glyph());
    const bool wasScissored = scissored;
    glDisable(GL_SCISSOR_TEST);
    textured(false);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    bool fits = true;
    for (int c = 32; c < 127; ++c) {
        Glyph& g = glyphs[c];
        g.advance = glutBitmapWidth(GLUT_BITMAP_HELVETICA_12, c);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        glRasterPos2f(px, py);
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, c);
        glReadPixels(fx - size / 2, fy - size / 2, size, size, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        int minX = size, minY = size, maxX = -1, maxY = -1;
        for (int row = 0; row < size; ++row)
            for (int col = 0; col < size; ++col)
                if (pixels[(static_cast<size_t>(row) * size + col) * 3] != 0) {
                    minX = std::min(minX, col);
                    maxX = std::max(maxX, col);
                    minY = std::min(minY, row);
                    maxY = std::max(maxY, row);
                }
        if (maxX < 0) continue;
        g.left = minX - size / 2;
        g.bottom = minY - size / 2;
        g.width = maxX - minX + 1;
        g.height = maxY - minY + 1;
        g.atlasX = (c - 32) % (kAtlasW / kAtlasCell) * kAtlasCell;
        g.atlasY = (c - 32) / (kAtlasW / kAtlasCell) * kAtlasCell;
        if (g.width >= kAtlasCell || g.height >= kAtlasCell || g.atlasY + kAtlasCell > kAtlasH) {
            fits = false;
            continue;
        }
        for (int row = minY; row <= maxY; ++row)
            for (int col = minX; col <= maxX; ++col)
                if (pixels[(static_cast<size_t>(row) * size + col) * 3] != 0) {
                    const size_t t = (static_cast<size_t>(g.atlasY + row - minY) * kAtlasW + g.atlasX + col - minX) * 4;
                    std::memset(&texels[t], 255, 4);
                }
    }
    if (fits) {
        glGenTextures(1, &atlas);
        glBindTexture(GL_TEXTURE_2D, atlas);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kAtlasW, kAtlasH, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    captured = fits;
    clearColour();
    glEnable(GL_BLEND);
    if (wasScissored) glEnable(GL_SCISSOR_TEST);
}

void Canvas::textured(bool on) {
    if (on == texturing) return;
    if (on) {
        glEnable(GL_TEXTURE_2D);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    texturing = on;
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
    // Outside the box the back buffer is never shown, so the scissor only
    // saves filling pixels; over a large box it costs more than it saves,
    // Mesa's renderer being slow at many small primitives under a scissor.
    scissored = clipped && box.area() <= kScissorArea;
    if (scissored) {
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

void Canvas::clear() {
    if (!captured) capture();
    if (clipped) {
        // Only the box: whatever lies around it may already be on the window.
        scissor(clipBox);
        glEnable(GL_SCISSOR_TEST);
        partialClearColour();
        glClear(GL_COLOR_BUFFER_BIT);
        clearColour();
        if (!scissored) glDisable(GL_SCISSOR_TEST);
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
    watchWindow = window;
    copySubBuffer = reinterpret_cast<void (*)(void*, unsigned long, int, int, int, int)>(copy);
}

bool Canvas::canRedrawPart() {
    if (!watchTried) {
        openWatch();
        // The first frame has nothing to keep.
        return false;
    }
    if (watchDisplay == nullptr) return false;
    ::Display* watch = static_cast<::Display*>(watchDisplay);
    // After the round trip every event the server sent before it is queued.
    XSync(watch, False);
    bool kept = true;
    while (XPending(watch) > 0) {
        XEvent event;
        XNextEvent(watch, &event);
        if (event.type == Expose || event.type == ConfigureNotify || event.type == MapNotify) kept = false;
    }
    return kept;
}

void Canvas::showAll() {
    glFlush();
    glutSwapBuffers();
}

void Canvas::showParts(const std::vector<Box>& boxes) {
    // The copy takes the back buffer as it is: the renderer's threads must
    // have finished with it.
    glFinish();
    ::Display* glut = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    for (const Box& box : boxes) {
        const PixelRect r = pixelRect(box, windowW, windowH);
        if (r.w > 0 && r.h > 0) copySubBuffer(glut, window, r.x, r.y, r.w, r.h);
    }
}
