#ifndef BATTLESHIPS_CANVAS_H
#define BATTLESHIPS_CANVAS_H

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "box.h"
#include "font.h"
#include "layers.h"
#include "presenter.h"
#include "view.h"

// How the game's window reaches its pixels: OpenGL's immediate mode with the
// state kept as last set. Drawing coordinates are window pixels shifted by
// the origin set with translate. While a clip is set, anything lying wholly
// outside it is skipped, which leaves every pixel inside it as a whole
// drawing would. The canvas draws the lines and fills itself; text, the
// pictures kept off the window and presenting each have a room of their own,
// which the canvas holds and hands on to.
class Canvas {
public:
    Canvas() : font_(view), layers(view), presenter(view) {}
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Blending on, the colour around the boards as clear colour.
    void init();
    // The window's size and the projection that puts drawing coordinates on
    // its pixels, y downwards; the origin goes back to the corner.
    void resize(int width, int height);
    // Moves the origin of drawing coordinates by (x, y).
    void translate(float x, float y);
    // Moves the origin to window position (x, y).
    void originAt(float x, float y) { translate(x - view.originX, y - view.originY); }
    // Saves the origin, for popOrigin to put back exactly as it was.
    void pushOrigin();
    void popOrigin();

    // The current colour, for fills, lines and text that take none.
    void colour(float r, float g, float b, float a);
    // A filled rectangle through its corners, vertices truncated to whole
    // pixels as all vertices are.
    void fill(float left, float top, float right, float bottom);
    // The outline of that rectangle, lines of the given width.
    void outline(float left, float top, float right, float bottom, float width);
    // Segments of width 1, vertical then horizontal, batched together.
    void beginLines();
    void segment(float x1, float y1, float x2, float y2);
    void endLines();
    // Lines of width 1, unsmoothed, from here on. Where the line state
    // changes, the renderer's batch ends, and where batches end decides
    // which of Mesa's paths colours some tiles: frames keep their pixels
    // only with the batches ending where they always did.
    void plainLines();
    // Two smoothed segments of width 2 corner to corner: a cross.
    void cross(float left, float top, float right, float bottom);
    // One line of text in Helvetica 12 with its baseline starting at (x, y),
    // exactly as the font's bitmaps draw it at that raster position.
    void text(float x, float y, const char* text, float r, float g, float b, float a);
    // One line in Times Roman 24 in the current colour.
    void bigText(float x, float y, const char* text) { font_.bigText(x, y, text); }
    // Width in pixels of a text in Helvetica 12 (big false) or Times Roman 24.
    static int textWidth(const char* text, bool big = false) { return Font::textWidth(text, big); }
    // The font, for where its texts fall and the pixels they set.
    Font& font() { return font_; }

    // Drawing goes into a layer kept off the window (see Layers::begin);
    // false when the renderer keeps none.
    bool beginLayer(const Box& over) { return layers.begin(over); }
    // Clears the part of the layer inside the box, and clips to it.
    void layerPart(const Box& box) { layers.part(box); }
    // Drawing goes to the window again, with the clip it had before.
    void endLayer() { layers.end(); }
    // Keeps a shade over the window's pixels in the box: black, with one
    // alpha per pixel, rows from the top.
    void shade(const Box& over, const std::vector<unsigned char>& alpha) { layers.shade(over, alpha); }
    // Lays the layer (when withLayer), then the shade, over the window's
    // pixels in the boxes (window pixels), within the clip.
    void showLayers(const std::vector<Box>& where, bool withLayer) const { layers.show(where, withLayer); }
    // Keeps a copy of the back buffer's pixels in the box (window pixels).
    void keepPixels(const Box& box) { layers.keep(box); }
    // Puts the copy's pixels back into the back buffer, in the boxes.
    void putBackPixels(const std::vector<Box>& where) { layers.putBack(where); }

    // Restricts drawing to the box (window pixels); an empty box lifts it.
    void clip(const Box& box) { view.setClip(box); }
    // Whether a box in drawing coordinates may touch a pixel of the clip.
    bool visible(float left, float top, float right, float bottom) const {
        return view.visible(left, top, right, bottom);
    }
    // The clip in drawing coordinates, or a box holding the whole window.
    Box area() const;
    // Clears the drawing area (within the clip).
    void clear();
    // The window's size in pixels.
    int width() const { return static_cast<int>(view.windowW); }
    int height() const { return static_cast<int>(view.windowH); }

    // Once per frame: whether the window still shows the last frame shown
    // and can take part of one; false when the frame must be whole.
    bool canRedrawPart() { return presenter.canRedrawPart(); }
    // How to draw the whole frame of the current state, for a test build to
    // compare what goes on the window with.
    void wholeFrame(std::function<void()> draw) { presenter.wholeFrame(std::move(draw)); }
    // Shows the whole frame.
    void showAll() { presenter.showAll(*this); }
    // Shows only these boxes of the frame drawn in the back buffer.
    void showParts(const std::vector<Box>& boxes) { presenter.showParts(*this, boxes); }

private:
    void lineState(float width, bool smooth);

    View view;
    Font font_;
    Layers layers;
    Presenter presenter;
    float lineWidth = 1;
    bool lineSmooth = false;
    float savedX = 0, savedY = 0;
};

#endif
