#ifndef BATTLESHIPS_LAYERS_H
#define BATTLESHIPS_LAYERS_H

// Pictures kept off the window between frames and laid over it later: a
// layer drawn as the window would be, a shade of one alpha per pixel, and a
// copy of the back buffer's pixels to be put back.

#include <vector>

#include "offscreen.h"
#include "view.h"

class Layers {
public:
    // Moves the view into the layer and back.
    explicit Layers(View& view) : view(view) {}
    Layers(const Layers&) = delete;
    Layers& operator=(const Layers&) = delete;

    // Drawing goes into the layer, over the window's pixels in the box:
    // everything lands on the layer's pixels where it would land on the
    // window's, blended so that the layer can be laid over them later. A
    // new layer is clear, a kept one as last drawn. False when the renderer
    // keeps no layers; drawing then still goes to the window.
    bool begin(const Box& over);
    // Clears the part of the layer inside the box (window pixels) to
    // nothing laid over, and restricts drawing to it.
    void part(const Box& box);
    // Drawing goes to the window again, with the clip it had before.
    void end();
    // Keeps a shade over the window's pixels in the box: black, with one
    // alpha per pixel, rows from the top.
    void shade(const Box& over, const std::vector<unsigned char>& alpha);
    // Lays the layer (when withLayer), then the shade, over the window's
    // pixels in the boxes (window pixels), within the clip.
    void show(const std::vector<Box>& where, bool withLayer) const;
    // Keeps a copy of the back buffer's pixels in the box (window pixels).
    void keep(const Box& box);
    // Puts the copy's pixels back into the back buffer, in the boxes.
    void putBack(const std::vector<Box>& where);

private:
    void texturedBoxes(const std::vector<Box>& where, const PixelBox& at, bool flipped, bool clipped) const;

    View& view;
    Offscreen offscreen;
    bool layerDrawn = false;
    Box windowClip;
    unsigned shadeTexture = 0;
    PixelBox shadeAt{0, 0, 0, 0};
    bool shaded = false;
    unsigned keptTexture = 0;
    std::vector<unsigned char> keptPixels;
    bool keptUploaded = false;
    PixelBox keptAt{0, 0, 0, 0};
};

#endif
