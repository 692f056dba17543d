#include "layers.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

// Part of a texture laid over window pixels: the box (window pixels) within
// the texture's pixels at `at`, rows from the top when flipped, else from the
// bottom; the origin at (ox, oy).
void texturedBox(const Box& box, const PixelBox& at, bool flipped, float ox, float oy) {
    const float x = static_cast<float>(at.x), y = static_cast<float>(at.y);
    const float w = static_cast<float>(at.w), h = static_cast<float>(at.h);
    const float s0 = (box.left - x) / w;
    const float s1 = (box.right - x) / w;
    float t0 = (box.top - y) / h;
    float t1 = (box.bottom - y) / h;
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

bool Layers::begin(const Box& over) {
    const PixelBox p = pixelsOf(over);
    if (!offscreen.bind(p.w, p.h)) return false;
    view.layer = p;
    view.inLayer = true;
    windowClip = view.clipped ? view.clipBox : Box();
    view.setClip(Box());
    glViewport(0, 0, p.w, p.h);
    // The window's projection cut to the layer's pixels, with the origin
    // where it is on the window.
    view.loadProjection();
    // Colour and coverage add up as they would on the window, for the
    // layer to be laid over its pixels in one go.
    offscreen.blendAsLayer(true);
    return true;
}

void Layers::part(const Box& box) {
    // Clipped even to an empty box, which clears nothing.
    view.clipped = true;
    view.clipBox = box;
    view.applyClip();
    clearToNothing();
}

void Layers::end() {
    if (!view.inLayer) return;
    view.inLayer = false;
    layerDrawn = true;
    offscreen.blendAsLayer(false);
    view.loadProjection();
    offscreen.unbind();
    glViewport(0, 0, static_cast<int>(view.windowW), static_cast<int>(view.windowH));
    view.setClip(windowClip);
}

void Layers::shade(const Box& over, const std::vector<unsigned char>& alpha) {
    const PixelBox p = pixelsOf(over);
    if (p.w <= 0 || p.h <= 0 || alpha.size() != static_cast<size_t>(p.w) * static_cast<size_t>(p.h)) {
        shaded = false;
        return;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (p.w != shadeAt.w || p.h != shadeAt.h) {
        makeTexture(shadeTexture, GL_ALPHA8, p.w, p.h, GL_ALPHA, alpha.data());
    } else {
        glBindTexture(GL_TEXTURE_2D, shadeTexture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, p.w, p.h, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    shadeAt = p;
    shaded = true;
}

// The part of each box within the texture's window pixels (and, when
// clipped, that the clip leaves), as quads of the bound texture.
void Layers::texturedBoxes(const std::vector<Box>& where, const PixelBox& at, bool flipped, bool clipped) const {
    const Box area{static_cast<float>(at.x), static_cast<float>(at.y), static_cast<float>(at.x + at.w),
                   static_cast<float>(at.y + at.h)};
    const float ox = view.originX, oy = view.originY;
    glBegin(GL_QUADS);
    for (const Box& box : where) {
        const Box b = box.cut(area);
        if (b.empty()) continue;
        if (clipped && !view.visible(b.left - ox, b.top - oy, b.right - ox, b.bottom - oy)) continue;
        texturedBox(b, at, flipped, ox, oy);
    }
    glEnd();
}

void Layers::show(const std::vector<Box>& where, bool withLayer) const {
    glEnable(GL_TEXTURE_2D);
    if (withLayer && layerDrawn) {
        glBindTexture(GL_TEXTURE_2D, offscreen.texture());
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        // The layer's colours already carry their coverage.
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        texturedBoxes(where, view.layer, false, true);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    if (shaded) {
        glBindTexture(GL_TEXTURE_2D, shadeTexture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glColor4f(0, 0, 0, 1);
        texturedBoxes(where, shadeAt, true, true);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
}

void Layers::keep(const Box& box) {
    const PixelBox r = view.windowPixels(box);
    keptAt = {r.x, static_cast<int>(view.windowH) - r.y - r.h, std::max(0, r.w), std::max(0, r.h)};
    keptPixels.resize(static_cast<size_t>(keptAt.w) * static_cast<size_t>(keptAt.h) * 4);
    keptUploaded = false;
    if (keptPixels.empty()) return;
    // Read in the order the window stores them: a plain copy.
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(r.x, r.y, r.w, r.h, GL_BGRA, GL_UNSIGNED_BYTE, keptPixels.data());
}

void Layers::putBack(const std::vector<Box>& where) {
    if (keptPixels.empty()) return;
    if (!keptUploaded) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        makeTexture(keptTexture, GL_RGBA8, keptAt.w, keptAt.h, GL_BGRA, keptPixels.data());
        keptUploaded = true;
    }
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, keptTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    texturedBoxes(where, keptAt, false, false);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
}
