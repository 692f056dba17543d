#ifndef BATTLESHIPS_CANVAS_H
#define BATTLESHIPS_CANVAS_H

#include <vector>

// A rectangle of window pixels, origin at the top-left corner, y downwards.
struct Box {
    float left = 0, top = 0, right = 0, bottom = 0;

    bool empty() const { return !(left < right && top < bottom); }
    float area() const { return empty() ? 0 : (right - left) * (bottom - top); }
    bool overlaps(const Box& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    // The smallest box holding both.
    Box joined(const Box& other) const;
    // The same box grown by margin on every side.
    Box grown(float margin) const { return {left - margin, top - margin, right + margin, bottom + margin}; }
};

// How the game's window reaches its pixels: OpenGL's immediate mode with the
// state kept as last set, text from the font's own bitmaps, and frames put on
// the window whole or only where they changed. Drawing coordinates are
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
    // Shows the whole frame.
    void showAll();
    // Shows only this box of the frame drawn in the back buffer.
    void showPart(const Box& box);

private:
    struct Glyph {
        // Runs of set pixels along a row: first pixel (from the raster
        // pixel, y up) and length.
        struct Run {
            int x, y, length;
        };
        std::vector<Run> runs;
        int advance = 0;
    };
    void capture();
    bool textAsQuads(float x, float y, const char* text);
    void lineState(float width, bool smooth);
    void openWatch();
    void scissor(const Box& box);

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
};

#endif
