#ifndef BATTLESHIPS_CANVAS_H
#define BATTLESHIPS_CANVAS_H

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <unordered_map>
#include <cstring>
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

    // Starts a frame: a whole one, or one for these boxes alone when the
    // window keeps what it shows and can take part of a frame. False when it
    // must be whole.
    bool canRedrawPart();
    // Clears the drawing area (within the clip).
    void clear();
    // Shows the whole frame.
    void showAll();
    // Shows only these boxes of the frame drawn in the back buffer.
    void showParts(const std::vector<Box>& boxes);

private:
    struct Glyph {
        int left = 0, bottom = 0, width = 0, height = 0;  // set pixels, from the raster pixel, y up
        int atlasX = 0, atlasY = 0;
        int advance = 0;
    };
    void capture();
    bool textFromAtlas(float x, float y, const char* text);
    bool crossFromAtlas(float left, float top, float right, float bottom);
    bool rasterPosition(float x, float y, float& rx, float& ry);
    static bool certainFloor(float position, double& pixel);
    void lineState(float width, bool smooth);
    void textured(bool on);
    void openWatch();
    void scissor(const Box& box);

    float windowW = 0, windowH = 0;
    float originX = 0, originY = 0;
    float lineWidth = 1;
    bool lineSmooth = false;
    bool texturing = false;
    bool clipped = false;
    bool scissored = false;
    Box clipBox;

    unsigned glyphLists = 0;
    unsigned atlas = 0;
    bool captured = false;
    std::vector<Glyph> glyphs;
    // Crosses captured from the renderer's smoothed lines, by shape.
    struct CrossKey {
        float colour[4] = {0, 0, 0, 0};
        int dx = 0, dy = 0;
        float fracX = 0, fracY = 0;
        bool operator==(const CrossKey& o) const {
            return std::memcmp(colour, o.colour, sizeof colour) == 0 && dx == o.dx && dy == o.dy &&
                   fracX == o.fracX && fracY == o.fracY;
        }
    };
    struct CrossImage {
        int x = 0, y = 0, width = 0, height = 0;  // in the capture, y up
        int atlasX = 0, atlasY = 0;
    };
    struct CrossShape {
        CrossKey key;
        CrossImage lines[2];
    };
    bool captureCross(CrossShape& shape);
    static const int kCaptureOffset = 16;
    std::vector<CrossShape> crosses;
    bool crossesFull = false;
    int shelfX = 0, shelfY = 256, shelfH = 0;
    unsigned fbo = 0;
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    float current[4] = {1, 1, 1, 1};
    // The renderer's raster positions asked so far, by origin and coordinate.
    std::unordered_map<std::uint64_t, float> rasterXs, rasterYs;

    // The window's own events, seen on a connection of its own: whether it
    // lost what it showed since the last frame.
    void* watchDisplay = nullptr;
    unsigned long watchWindow = 0;
    void (*copySubBuffer)(void*, unsigned long, int, int, int, int) = nullptr;
    bool watchTried = false;
};

#endif
