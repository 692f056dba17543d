#ifndef BATTLESHIPS_HINT_LAYER_H
#define BATTLESHIPS_HINT_LAYER_H

#include <vector>

#include "canvas.h"

// The hint overlay as a layer over the own board: a faint cross and the
// computer's score on every cell where the human's biggest ship afloat may
// still lie, all crosses first, then all numbers. The crosses are kept off
// the window between frames and drawn again only around the cells where
// they came or went; the numbers, which all change with each shot, are laid
// out here as a shade of the pixels their font sets, so that showing the
// overlay costs about two copies of the board.
class HintLayer {
public:
    // Where the own board lies in the window and how its cells are cut.
    struct Geometry {
        float left = 0, top = 0, width = 0, height = 0;
        float columnW = 0, rowH = 0, columnOffset = 0, rowOffset = 0;
        int w = 0, h = 0;
        bool operator==(const Geometry& o) const;
    };

    HintLayer() = default;
    HintLayer(const HintLayer&) = delete;
    HintLayer& operator=(const HintLayer&) = delete;

    // Takes every cell's hint, row by row: its score, or -1 for none. True
    // when they differ from the last ones taken.
    bool set(const Geometry& geometry, std::vector<int> hints);
    // Whether the hints were last taken for this geometry.
    bool laidOut(const Geometry& g) const { return g == geometry; }
    // The window pixels the overlay may touch.
    Box box() const;
    // Brings the kept layer up to the hints taken: where they changed since
    // it was drawn, or whole when fresh or laid out anew.
    void update(Canvas& canvas, bool fresh);
    // Lays the overlay over what is drawn, within the canvas's clip; the
    // crosses straight onto the window when the renderer keeps no layer.
    void show(Canvas& canvas) const;
    // Boxes of the window holding every pixel the overlay touches.
    const std::vector<Box>& cover() const { return coverBoxes; }

private:
    void drawCrosses(Canvas& canvas) const;
    void drawNumbers(Canvas& canvas, const Box& layer);
    Box crossBox(int x, int y) const;
    void findCover(const Box& layer);
    void markCross(int x, int y, const PixelBox& at, std::vector<unsigned char>& used) const;

    Geometry geometry;
    std::vector<int> hints;
    // How far right of its cell's left edge a number reaches.
    float reach = 0;
    // What the kept crosses and numbers were drawn for.
    bool crossesKept = false;
    bool numbersKept = false;
    Geometry keptGeometry;
    std::vector<int> keptHints;
    Box keptBox;
    // Per pixel of the layer, how many numbers cover it; then its shade.
    std::vector<unsigned char> shadeAlpha;
    // Per column and row of cells, the raster pixel of their numbers.
    std::vector<int> columns, rows;
    bool placed = false;
    std::vector<Box> coverBoxes;
};

#endif
