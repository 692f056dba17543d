#ifndef BATTLESHIPS_FONT_H
#define BATTLESHIPS_FONT_H

// The window's text: the font's bitmaps (Helvetica 12, the banners' Times
// Roman 24), their pixels captured once so that text can go out as quads
// among the lines and fills around it, where the renderer puts a raster
// position, and texts counted into pixels for a shade.

#include <vector>

#include "offscreen.h"
#include "view.h"

class Font {
public:
    // Draws where the view says.
    explicit Font(const View& view) : view(view) {}
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Width in pixels of a text in Helvetica 12 (big false) or Times Roman 24.
    static int textWidth(const char* text, bool big = false);

    // Reads each character's pixels once the window is big enough; only
    // before a whole frame, which covers whatever the capture leaves.
    void captureOnce();
    // One line in Helvetica 12 with its baseline starting at (x, y), exactly
    // as the font's bitmaps draw it at that raster position.
    void text(float x, float y, const char* text, float r, float g, float b, float a);
    // One line in Times Roman 24 in the current colour.
    void bigText(float x, float y, const char* text);

    // The window pixel column, and row counted from the top, where text
    // drawn at drawing coordinate x, or y, has its raster pixel, as the
    // renderer places it; -1 where the raster position lies outside the
    // window, where no text is drawn at all. Separately, since either
    // depends on its own coordinate only.
    int rasterColumn(float x);
    int rasterRow(float y);

    // Adds one to the count of every pixel in `into` (window pixels, y from
    // the top; counts row by row) that a text in Helvetica 12 sets with its
    // raster pixel at (column, row); counts stop at 255. False before the
    // capture, counting nothing.
    bool count(const char* text, int column, int row, const PixelBox& into, std::vector<unsigned char>& counts) const;

private:
    // A character: the runs of pixels its bitmap sets along a row, each
    // from the raster pixel (x right, y up), and its advance.
    struct Glyph {
        struct Run {
            int x, y, length;
        };
        std::vector<Run> runs;
        int advance = 0;
    };

    void capture();
    void captureGlyph(int c, std::vector<unsigned char>& pixels);
    bool asQuads(float x, float y, const char* text) const;
    int probeRaster(float x, float y, bool column);
    bool toScratch();
    void fromScratch();

    const View& view;
    unsigned glyphLists = 0;
    bool captured = false;
    std::vector<Glyph> glyphs;
    // Where probes and the capture draw: never the back buffer, which may go
    // on the window whole at any time.
    Offscreen scratch;
};

#endif
