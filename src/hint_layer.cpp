#include "hint_layer.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <string>
#include <utility>

namespace {

// A hint cross spans the middle eighth of its cell.
const float kDivide = 3.5f;
// Smoothed lines reach a pixel or two past their ends.
const float kMargin = 4;

// Wide enough for any number of that many digits.
float numberWidth(int digits) {
    int widest = 0;
    for (char c = '0'; c <= '9'; ++c) {
        const char text[2] = {c, '\0'};
        widest = std::max(widest, Canvas::textWidth(text));
    }
    return static_cast<float>(digits * widest);
}

}  // namespace

bool HintLayer::Geometry::operator==(const Geometry& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height && columnW == o.columnW &&
           rowH == o.rowH && columnOffset == o.columnOffset && rowOffset == o.rowOffset && w == o.w && h == o.h;
}

bool HintLayer::set(const Geometry& g, std::vector<int> newHints) {
    const bool changed = !(g == geometry) || newHints != hints;
    if (!(g == geometry)) reach = 0;
    geometry = g;
    hints = std::move(newHints);
    // The reach only grows while the layout stays, so the layer's box does.
    int most = -1;
    for (const int hint : hints) most = std::max(most, hint);
    if (most >= 0) reach = std::max(reach, numberWidth(static_cast<int>(std::to_string(most).size())) + 1);
    return changed;
}

Box HintLayer::box() const {
    const Geometry& g = geometry;
    // A number stands at the cell's left edge plus one, its baseline 9 below
    // the cell's top; digits rise 9 above it.
    const float right = std::max(g.width, static_cast<float>(g.w) * g.columnW + reach);
    const float bottom = std::max(g.height, static_cast<float>(g.h) * g.rowH + 9);
    return Box{g.left + g.columnW, g.top + g.rowH, g.left + right, g.top + bottom}.grown(kMargin);
}

// The window pixels a cell's cross may touch.
Box HintLayer::crossBox(int x, int y) const {
    const Geometry& g = geometry;
    const float left = g.left + static_cast<float>(x + 1) * g.columnW;
    const float top = g.top + static_cast<float>(y + 1) * g.rowH;
    return Box{left, top, left + g.columnW, top + g.rowH}.grown(kMargin);
}

void HintLayer::update(Canvas& canvas, bool fresh) {
    const Box layer = box();
    const bool relaid = fresh || !(keptGeometry == geometry) || keptHints.size() != hints.size() ||
                        keptBox.left != layer.left || keptBox.top != layer.top || keptBox.right != layer.right ||
                        keptBox.bottom != layer.bottom;
    canvas.pushOrigin();
    canvas.translate(geometry.left, geometry.top);
    if (fresh || !(keptGeometry == geometry)) placed = false;
    if (relaid || !numbersKept || hints != keptHints) {
        drawNumbers(canvas, layer);
        findCover(layer);
        numbersKept = true;
    }
    std::vector<Box> parts;
    if (relaid || !crossesKept) {
        parts.push_back(layer);
    } else {
        const int w = geometry.w;
        for (size_t i = 0; i < hints.size(); ++i)
            if ((hints[i] >= 0) != (keptHints[i] >= 0))
                parts.push_back(
                    crossBox(static_cast<int>(i % static_cast<size_t>(w)), static_cast<int>(i / static_cast<size_t>(w))));
        parts = merged(parts, layer);
    }
    if (!parts.empty()) {
        crossesKept = canvas.beginLayer(layer);
        if (crossesKept) {
            for (const Box& part : parts) {
                canvas.layerPart(part);
                drawCrosses(canvas);
            }
            canvas.endLayer();
        }
    }
    canvas.popOrigin();
    keptGeometry = geometry;
    keptHints = hints;
    keptBox = layer;
}

void HintLayer::show(Canvas& canvas) const {
    if (!crossesKept) {
        canvas.pushOrigin();
        canvas.originAt(geometry.left, geometry.top);
        drawCrosses(canvas);
        canvas.popOrigin();
    }
    canvas.showLayers(coverBoxes, crossesKept);
}

// Bands of 8 rows of the layer, each cut into the runs of columns where a
// number's pixel or a cross may lie.
void HintLayer::findCover(const Box& layer) {
    const Geometry& g = geometry;
    const int lx = static_cast<int>(std::floor(layer.left));
    const int ly = static_cast<int>(std::floor(layer.top));
    const int lw = static_cast<int>(std::ceil(layer.right)) - lx;
    const int lh = static_cast<int>(std::ceil(layer.bottom)) - ly;
    coverBoxes.clear();
    if (lw <= 0 || lh <= 0) return;
    const int band = 8;
    const int bands = (lh + band - 1) / band;
    std::vector<unsigned char> used(static_cast<size_t>(bands) * static_cast<size_t>(lw), 0);
    if (shadeAlpha.size() == static_cast<size_t>(lw) * static_cast<size_t>(lh))
        for (int y = 0; y < lh; ++y) {
            const unsigned char* row = &shadeAlpha[static_cast<size_t>(y) * static_cast<size_t>(lw)];
            unsigned char* mark = &used[static_cast<size_t>(y / band) * static_cast<size_t>(lw)];
            for (int x = 0; x < lw; ++x) mark[x] |= row[x];
        }
    const float dx = g.columnOffset * kDivide;
    const float dy = g.rowOffset * kDivide;
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x) {
            if (hints[static_cast<size_t>(y) * static_cast<size_t>(g.w) + static_cast<size_t>(x)] < 0) continue;
            const int x0 = std::max(0, static_cast<int>(std::floor(g.left + static_cast<float>(x + 1) * g.columnW + dx)) - 3 - lx);
            const int x1 = std::min(lw, static_cast<int>(std::ceil(g.left + static_cast<float>(x + 2) * g.columnW - dx)) + 3 - lx);
            const int y0 = std::max(0, static_cast<int>(std::floor(g.top + static_cast<float>(y + 1) * g.rowH + dy)) - 3 - ly);
            const int y1 = std::min(lh, static_cast<int>(std::ceil(g.top + static_cast<float>(y + 2) * g.rowH - dy)) + 3 - ly);
            for (int b = y0 / band; b <= (y1 - 1) / band && b < bands; ++b)
                for (int i = x0; i < x1; ++i) used[static_cast<size_t>(b) * static_cast<size_t>(lw) + static_cast<size_t>(i)] = 1;
        }
    // Runs less than a few pixels apart go in one box: a box costs more
    // than the pixels between.
    const int gap = 8;
    for (int b = 0; b < bands; ++b) {
        const unsigned char* mark = &used[static_cast<size_t>(b) * static_cast<size_t>(lw)];
        int start = -1, end = -1;
        for (int x = 0; x <= lw; ++x) {
            const bool on = x < lw && mark[x] != 0;
            if (on) {
                if (start < 0) start = x;
                end = x + 1;
            } else if (start >= 0 && (x == lw || x - end >= gap)) {
                coverBoxes.push_back({static_cast<float>(lx + start), static_cast<float>(ly + b * band),
                                      static_cast<float>(lx + end), static_cast<float>(ly + std::min(lh, (b + 1) * band))});
                start = -1;
            }
        }
    }
}

// The crosses of every cell that may reach the canvas's clip; the origin at
// the board's corner.
void HintLayer::drawCrosses(Canvas& canvas) const {
    const Geometry& g = geometry;
    const Box area = canvas.area();
    const int x0 = firstCellFrom(area.left, g.columnW, 1);
    const int x1 = lastCellTo(area.right, g.columnW, g.w);
    const int y0 = firstCellFrom(area.top, g.rowH, 1);
    const int y1 = lastCellTo(area.bottom, g.rowH, g.h);
    const float dx = g.columnOffset * kDivide;
    const float dy = g.rowOffset * kDivide;

    canvas.colour(0.1f, 0.1f, 0.1f, 0.1f);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            if (hints[static_cast<size_t>(y) * static_cast<size_t>(g.w) + static_cast<size_t>(x)] < 0) continue;
            const float left = static_cast<float>(x + 1) * g.columnW;
            const float right = static_cast<float>(x + 2) * g.columnW;
            const float top = static_cast<float>(y + 1) * g.rowH;
            const float bottom = static_cast<float>(y + 2) * g.rowH;
            canvas.cross(left + dx, top + dy, right - dx, bottom - dy);
        }
}

// Every number's pixels, where the font's bitmaps would set them with each
// number's raster position at its cell's left edge plus one and 9 below its
// top; each number there halves what lies under it (black at 0.5, on the
// window's 8-bit grid), and the layer keeps what they all make of it.
void HintLayer::drawNumbers(Canvas& canvas, const Box& layer) {
    const Geometry& g = geometry;
    const int lx = static_cast<int>(std::floor(layer.left));
    const int ly = static_cast<int>(std::floor(layer.top));
    const int lw = static_cast<int>(std::ceil(layer.right)) - lx;
    const int lh = static_cast<int>(std::ceil(layer.bottom)) - ly;
    if (lw <= 0 || lh <= 0) return;
    shadeAlpha.assign(static_cast<size_t>(lw) * static_cast<size_t>(lh), 0);
    // Where the raster positions fall depends on the layout only.
    if (!placed) {
        columns.resize(static_cast<size_t>(g.w));
        rows.resize(static_cast<size_t>(g.h));
        for (int x = 0; x < g.w; ++x)
            columns[static_cast<size_t>(x)] = canvas.rasterColumn(static_cast<float>(x + 1) * g.columnW + 1);
        for (int y = 0; y < g.h; ++y) rows[static_cast<size_t>(y)] = canvas.rasterRow(static_cast<float>(y + 1) * g.rowH + 9);
        placed = true;
    }
    char digits[16];
    for (int y = 0; y < g.h; ++y) {
        const int row = rows[static_cast<size_t>(y)];
        if (row < 0) continue;
        for (int x = 0; x < g.w; ++x) {
            const int hint = hints[static_cast<size_t>(y) * static_cast<size_t>(g.w) + static_cast<size_t>(x)];
            int pen = columns[static_cast<size_t>(x)];
            if (hint < 0 || pen < 0) continue;
            std::snprintf(digits, sizeof digits, "%d", hint);
            for (const char* c = digits; *c != '\0'; ++c) {
                const Canvas::Glyph* glyph = canvas.glyph(*c);
                if (glyph == nullptr) break;
                for (const Canvas::Glyph::Run& run : glyph->runs) {
                    // The run's row, from the raster pixel upwards.
                    const int py = row - run.y - ly;
                    const int px = pen + run.x - lx;
                    if (py < 0 || py >= lh) continue;
                    unsigned char* p = &shadeAlpha[static_cast<size_t>(py) * static_cast<size_t>(lw)];
                    for (int i = std::max(0, px); i < std::min(lw, px + run.length); ++i)
                        if (p[i] < 255) ++p[i];
                }
                pen += glyph->advance;
            }
        }
    }
    // Alpha 128/255 n times over: what is left is (127/255)^n of the pixel.
    unsigned char shade[256];
    double left = 1;
    for (int n = 0; n < 256; ++n) {
        shade[n] = static_cast<unsigned char>(std::lround(255 * (1 - left)));
        left *= 127.0 / 255.0;
    }
    for (unsigned char& c : shadeAlpha) c = shade[c];
    canvas.shade(layer, shadeAlpha);
}
