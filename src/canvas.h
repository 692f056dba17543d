#ifndef BATTLESHIPS_CANVAS_H
#define BATTLESHIPS_CANVAS_H

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "box.h"
#include "offscreen.h"

// How the game's window reaches its pixels: OpenGL's immediate mode with the
// state kept as last set, text from the font's own bitmaps, frames put on
// the window whole or only where they changed, and pictures kept off the
// window to be laid over it later. Drawing coordinates are
// window pixels shifted by the origin set with translate. While a clip is
// set, anything lying wholly outside it is skipped, which leaves every pixel
// inside it as a whole drawing would.
class Canvas {
public:
    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    // Lets go of the window connection it opened for itself.
    ~Canvas();

    // Blending on, the colour around the boards as clear colour.
    void init();
    // The window's size and the projection that puts drawing coordinates on
    // its pixels, y downwards; the origin goes back to the corner.
    void resize(int width, int height);
    // Moves the origin of drawing coordinates by (x, y).
    void translate(float x, float y);

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
    void bigText(float x, float y, const char* text);
    // Width in pixels of a text in Helvetica 12 (big false) or Times Roman 24.
    static int textWidth(const char* text, bool big = false);

    // Drawing goes into a layer kept off the window, over the window's
    // pixels in the box: everything lands on the layer's pixels where it
    // would land on the window's, blended so that the layer can be laid over
    // them later. A new layer is clear, a kept one as last drawn. False when
    // the renderer keeps no layers; drawing then still goes to the window.
    bool beginLayer(const Box& over);
    // Clears the part of the layer inside the box (window pixels) to
    // nothing laid over, and restricts drawing to it as clip does.
    void layerPart(const Box& box);
    // Drawing goes to the window again, with the clip it had before.
    void endLayer();
    // Keeps a shade over the window's pixels in the box: black, with one
    // alpha per pixel, rows from the top.
    void shade(const Box& over, const std::vector<unsigned char>& alpha);
    // Lays the layer (when withLayer), then the shade, over the window's
    // pixels in the boxes (window pixels), within the clip.
    void showLayers(const std::vector<Box>& where, bool withLayer);
    // Keeps a copy of the back buffer's pixels in the box (window pixels).
    void keepPixels(const Box& box);
    // Puts the copy's pixels back into the back buffer, in the boxes.
    void putBackPixels(const std::vector<Box>& where);

    // Restricts drawing to the box (window pixels); an empty box lifts it.
    void clip(const Box& box);
    // Whether a box in drawing coordinates may touch a pixel of the clip.
    bool visible(float left, float top, float right, float bottom) const;
    // The clip in drawing coordinates, or a box holding the whole window.
    Box area() const;

    // Once per frame: whether the window still shows the last frame shown
    // and can take part of one; false when the frame must be whole.
    bool canRedrawPart();
    // Clears the drawing area (within the clip).
    void clear();
    // How to draw the whole frame of the current state, for a test build to
    // compare what goes on the window with.
    void wholeFrame(std::function<void()> draw) { drawWhole = std::move(draw); }
    // The window's size in pixels.
    int width() const { return static_cast<int>(windowW); }
    int height() const { return static_cast<int>(windowH); }
    // Shows the whole frame.
    void showAll();
    // Shows only these boxes of the frame drawn in the back buffer.
    void showParts(const std::vector<Box>& boxes);

    // A character of the font: the runs of pixels its bitmap sets along a
    // row, each from the raster pixel (x right, y up), and its advance.
    struct Glyph {
        struct Run {
            int x, y, length;
        };
        std::vector<Run> runs;
        int advance = 0;
    };
    // The character's pixels, or null before the first frame has been
    // cleared and for characters outside printable ASCII.
    const Glyph* glyph(char c) const;
    // The window pixel column, and row counted from the top, where text
    // drawn at drawing coordinate x, or y, has its raster pixel, as the
    // renderer places it; -1 where the raster position lies outside the
    // window, where no text is drawn at all. Separately, since either
    // depends on its own coordinate only.
    int rasterColumn(float x);
    int rasterRow(float y);
    // Moves the origin to window position (x, y).
    void originAt(float x, float y) { translate(x - originX, y - originY); }
    // Saves the origin, for popOrigin to put back exactly as it was.
    void pushOrigin();
    void popOrigin();

private:
    void loadProjection();
    void texturedBoxes(const std::vector<Box>& where, int x, int y, int w, int h, bool flipped) const;
    void capture();
    bool textAsQuads(float x, float y, const char* text);
    void lineState(float width, bool smooth);
    void openWatch();
    bool windowChanged();
    bool bufferFitsLayout();
    void scissor(const Box& box);
    void layerScissor(const Box& box);
    int probeRaster(float x, float y, bool column);
    bool toScratch();
    void fromScratch();

    float windowW = 0, windowH = 0;
    float originX = 0, originY = 0;
    float lineWidth = 1;
    bool lineSmooth = false;
    bool clipped = false;
    Box clipBox;

    // The font's characters: compiled bitmaps and the pixels they set.
    unsigned glyphLists = 0;
    bool captured = false;
    std::vector<Glyph> glyphs;

    // The window's own events, seen on a connection of its own: whether it
    // lost what it showed since the last frame.
    void* watchDisplay = nullptr;
    void (*copySubBuffer)(void*, unsigned long, int, int, int, int) = nullptr;
    bool watchTried = false;
    // The back buffer may hold less than the last frame: the next is whole.
    bool lost = false;
    bool redrawnUnfit = false;
    std::function<void()> drawWhole;

    // The layer and the window pixels it lies over.
    Offscreen offscreen;
    // Where probes and the font's capture draw: never the back buffer, which
    // may go on the window whole at any time.
    Offscreen scratch;
    int layerX = 0, layerY = 0, layerW = 0, layerH = 0;
    bool inLayer = false;
    bool layerDrawn = false;
    Box windowClip;
    float savedX = 0, savedY = 0;
    unsigned shadeTexture = 0;
    int shadeX = 0, shadeY = 0, shadeW = 0, shadeH = 0;
    bool shaded = false;
    unsigned keptTexture = 0;
    std::vector<unsigned char> keptPixels;
    bool keptUploaded = false;
    int keptX = 0, keptY = 0, keptW = 0, keptH = 0;
};

#endif
