#include "canvas.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

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

}  // namespace

void Canvas::init() {
    clearColour();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void Canvas::resize(int width, int height) {
    view.windowW = static_cast<float>(width);
    view.windowH = static_cast<float>(height);
    view.originX = 0;
    view.originY = 0;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    view.loadProjection();
}

void Canvas::translate(float x, float y) {
    view.originX += x;
    view.originY += y;
    view.loadProjection();
}

void Canvas::pushOrigin() {
    savedX = view.originX;
    savedY = view.originY;
}

void Canvas::popOrigin() {
    view.originX = savedX;
    view.originY = savedY;
    view.loadProjection();
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

void Canvas::text(float x, float y, const char* text, float r, float g, float b, float a) {
    const Box reach = textReach(x, y, static_cast<float>(Font::textWidth(text)));
    if (view.clipped && !visible(reach.left, reach.top, reach.right, reach.bottom)) return;
    font_.text(x, y, text, r, g, b, a);
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

Box Canvas::area() const {
    const float ox = view.originX, oy = view.originY;
    if (!view.clipped) return {-ox - 1, -oy - 1, view.windowW - ox + 1, view.windowH - oy + 1};
    return {view.clipBox.left - ox, view.clipBox.top - oy, view.clipBox.right - ox, view.clipBox.bottom - oy};
}

void Canvas::clear() {
    font_.captureOnce();
    if (view.clipped) {
        // Only the box: whatever lies around it may already be on the window.
        view.applyClip();
        partialClearColour();
        glClear(GL_COLOR_BUFFER_BIT);
        clearColour();
    } else {
        glClear(GL_COLOR_BUFFER_BIT);
    }
}
