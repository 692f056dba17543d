#include "view.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

// Lines are up to 3 pixels wide and smoothed ones reach a pixel further, so
// anything within this of a clip may still touch it.
const float kReach = 4;

}  // namespace

PixelBox pixelsOf(const Box& box) {
    const int left = static_cast<int>(std::floor(box.left));
    const int top = static_cast<int>(std::floor(box.top));
    return {left, top, static_cast<int>(std::ceil(box.right)) - left, static_cast<int>(std::ceil(box.bottom)) - top};
}

// The matrix is made anew from the origin each time: translations applied
// to it and taken back again leave it a rounding off, frame after frame,
// until a line on a pixel's edge falls on the other pixel.
void View::loadProjection() const {
    glLoadIdentity();
    if (inLayer) {
        const double wh = windowH;
        glOrtho(layer.x, layer.x + layer.w, wh - layer.y - layer.h, wh - layer.y, -1, 1);
    } else {
        glOrtho(0, windowW, 0, windowH, -1, 1);
    }
    glScalef(1, -1, 1);
    glTranslatef(0, -windowH, 0);
    glTranslatef(originX, originY, 0);
}

void View::setClip(const Box& box) {
    clipped = !box.empty();
    clipBox = box;
    applyClip();
}

// Every box under a scissor, whatever its size: Mesa 25 puts the whole back
// buffer on the window when asked to copy a box, so nothing may be drawn
// outside it (Mesa 22 copies only the box).
void View::applyClip() const {
    if (!clipped) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    if (inLayer) {
        const int left = std::max(layer.x, static_cast<int>(std::floor(clipBox.left)));
        const int top = std::max(layer.y, static_cast<int>(std::floor(clipBox.top)));
        const int right = std::min(layer.x + layer.w, static_cast<int>(std::ceil(clipBox.right)));
        const int bottom = std::min(layer.y + layer.h, static_cast<int>(std::ceil(clipBox.bottom)));
        glScissor(left - layer.x, layer.y + layer.h - bottom, std::max(0, right - left), std::max(0, bottom - top));
    } else {
        const PixelBox r = windowPixels(clipBox);
        glScissor(r.x, r.y, r.w, r.h);
    }
    glEnable(GL_SCISSOR_TEST);
}

bool View::visible(float left, float top, float right, float bottom) const {
    if (!clipped) return true;
    const Box b{left + originX - kReach, top + originY - kReach, right + originX + kReach, bottom + originY + kReach};
    return b.overlaps(clipBox);
}

PixelBox View::windowPixels(const Box& box) const {
    const int left = std::max(0, static_cast<int>(std::floor(box.left)));
    const int top = std::max(0, static_cast<int>(std::floor(box.top)));
    const int right = std::min(static_cast<int>(windowW), static_cast<int>(std::ceil(box.right)));
    const int bottom = std::min(static_cast<int>(windowH), static_cast<int>(std::ceil(box.bottom)));
    return {left, static_cast<int>(windowH) - bottom, std::max(0, right - left), std::max(0, bottom - top)};
}

void clearToNothing() {
    float saved[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, saved);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(saved[0], saved[1], saved[2], saved[3]);
}
