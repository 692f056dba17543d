#ifndef BATTLESHIPS_VIEW_H
#define BATTLESHIPS_VIEW_H

// Where drawing lands: the window's size, the origin of drawing coordinates,
// the clip, and the layer that takes the drawing instead of the window
// while one is begun. The projection and the scissor are made from these
// alone, so that every part of the canvas sees the same.

#include "box.h"

// A box's whole pixels.
struct PixelBox {
    int x, y, w, h;
};

// A box's whole pixels, not cut to anything; y from the top.
PixelBox pixelsOf(const Box& box);

struct View {
    float windowW = 0, windowH = 0;
    float originX = 0, originY = 0;
    bool clipped = false;
    Box clipBox;
    // The layer's window pixels, while drawing goes into it.
    bool inLayer = false;
    PixelBox layer{0, 0, 0, 0};

    // Makes the projection anew: drawing coordinates onto the pixels drawn
    // into (the window's, or the layer's where they lie on the window),
    // y downwards.
    void loadProjection() const;
    // Restricts drawing to the box (window pixels); an empty box lifts it.
    void setClip(const Box& box);
    // Puts the scissor back to the clip, after anything that moved it.
    void applyClip() const;
    // Whether a box in drawing coordinates may touch a pixel of the clip.
    bool visible(float left, float top, float right, float bottom) const;
    // The box's whole pixels inside the window, as GL counts them (y from
    // the bottom).
    PixelBox windowPixels(const Box& box) const;
};

// Clears the pixels under the scissor to nothing (all zero), leaving the
// clear colour as it was.
void clearToNothing();

#endif
