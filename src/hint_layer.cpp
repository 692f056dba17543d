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

namespace {

// Rows of the layer per band of the cover.
const int kBand = 8;

// Runs less than this many pixels apart go in one box: a box costs more
// than the pixels between.
const int kGap = 8;

// The boxes of the runs of marked columns in each band of the layer at `at`.
void coverRuns(const std::vector<unsigned char>& used, const PixelBox& at, std::vector<Box>& boxes) {
    const int bands = (at.h + kBand - 1) / kBand;
    for (int b = 0; b < bands; ++b) {
        const unsigned char* mark = &used[static_cast<size_t>(b) * static_cast<size_t>(at.w)];
        const float top = static_cast<float>(at.y + b * kBand);
        const float bottom = static_cast<float>(at.y + std::min(at.h, (b + 1) * kBand));
        int start = -1, end = -1;
        for (int x = 0; x <= at.w; ++x) {
            const bool on = x < at.w && mark[x] != 0;
            if (on) {
                if (start < 0) start = x;
                end = x + 1;
            } else if (start >= 0 && (x == at.w || x - end >= kGap)) {
                boxes.push_back({static_cast<float>(at.x + start), top, static_cast<float>(at.x + end), bottom});
                start = -1;
            }
        }
    }
}

}  // namespace

// Bands of 8 rows of the layer, each cut into the runs of columns where a
// number's pixel or a cross may lie.
void HintLayer::findCover(const Box& layer) {
    const PixelBox at = pixelsOf(layer);
    coverBoxes.clear();
    if (at.w <= 0 || at.h <= 0) return;
    const size_t lw = static_cast<size_t>(at.w);
    std::vector<unsigned char> used(static_cast<size_t>((at.h + kBand - 1) / kBand) * lw, 0);
    if (shadeAlpha.size() == lw * static_cast<size_t>(at.h))
        for (int y = 0; y < at.h; ++y) {
            const unsigned char* row = &shadeAlpha[static_cast<size_t>(y) * lw];
            unsigned char* mark = &used[static_cast<size_t>(y / kBand) * lw];
            for (size_t x = 0; x < lw; ++x) mark[x] |= row[x];
        }
    for (int y = 0; y < geometry.h; ++y)
        for (int x = 0; x < geometry.w; ++x)
            if (hints[static_cast<size_t>(y) * static_cast<size_t>(geometry.w) + static_cast<size_t>(x)] >= 0)
                markCross(x, y, at, used);
    coverRuns(used, at, coverBoxes);
}

// Marks the columns of the bands a cell's cross may touch, with a margin
// for the smoothing.
void HintLayer::markCross(int x, int y, const PixelBox& at, std::vector<unsigned char>& used) const {
    const Geometry& g = geometry;
    const float dx = g.columnOffset * kDivide;
    const float dy = g.rowOffset * kDivide;
    const int x0 = std::max(0, static_cast<int>(std::floor(g.left + static_cast<float>(x + 1) * g.columnW + dx)) - 3 - at.x);
    const int x1 = std::min(at.w, static_cast<int>(std::ceil(g.left + static_cast<float>(x + 2) * g.columnW - dx)) + 3 - at.x);
    const int y0 = std::max(0, static_cast<int>(std::floor(g.top + static_cast<float>(y + 1) * g.rowH + dy)) - 3 - at.y);
    const int y1 = std::min(at.h, static_cast<int>(std::ceil(g.top + static_cast<float>(y + 2) * g.rowH - dy)) + 3 - at.y);
    const int bands = (at.h + kBand - 1) / kBand;
    for (int b = y0 / kBand; b <= (y1 - 1) / kBand && b < bands; ++b)
        for (int i = x0; i < x1; ++i) used[static_cast<size_t>(b) * static_cast<size_t>(at.w) + static_cast<size_t>(i)] = 1;
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
    const PixelBox into = pixelsOf(layer);
    const int lw = into.w, lh = into.h;
    if (lw <= 0 || lh <= 0) return;
    shadeAlpha.assign(static_cast<size_t>(lw) * static_cast<size_t>(lh), 0);
    // Where the raster positions fall depends on the layout only.
    if (!placed) {
        columns.resize(static_cast<size_t>(g.w));
        rows.resize(static_cast<size_t>(g.h));
        for (int x = 0; x < g.w; ++x)
            columns[static_cast<size_t>(x)] = canvas.font().rasterColumn(static_cast<float>(x + 1) * g.columnW + 1);
        for (int y = 0; y < g.h; ++y) rows[static_cast<size_t>(y)] = canvas.font().rasterRow(static_cast<float>(y + 1) * g.rowH + 9);
        placed = true;
    }
    char digits[16];
    for (int y = 0; y < g.h; ++y) {
        const int row = rows[static_cast<size_t>(y)];
        if (row < 0) continue;
        for (int x = 0; x < g.w; ++x) {
            const int hint = hints[static_cast<size_t>(y) * static_cast<size_t>(g.w) + static_cast<size_t>(x)];
            const int column = columns[static_cast<size_t>(x)];
            if (hint < 0 || column < 0) continue;
            std::snprintf(digits, sizeof digits, "%d", hint);
            canvas.font().count(digits, column, row, into, shadeAlpha);
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
