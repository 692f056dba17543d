#include "hint_layer.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

// A hint cross spans the middle eighth of its cell.
const float kDivide = 3.5f;
// Smoothed lines reach a pixel or two past their ends.
const float kMargin = 4;

float numberWidth(int hint) {
    return static_cast<float>(Canvas::textWidth(std::to_string(hint).c_str()));
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
    for (const int hint : hints)
        if (hint >= 0) reach = std::max(reach, numberWidth(hint) + 1);
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

// The window pixels the cross and number of a cell may touch.
Box HintLayer::cellHintBox(int x, int y, int width) const {
    const Geometry& g = geometry;
    const float left = g.left + static_cast<float>(x + 1) * g.columnW;
    const float top = g.top + static_cast<float>(y + 1) * g.rowH;
    return Box{left, top, left + std::max(g.columnW, static_cast<float>(width) + 1),
               top + std::max(g.rowH, 9.0f)}.grown(kMargin);
}

void HintLayer::update(Canvas& canvas, bool fresh) {
    const Box layer = box();
    const bool whole = fresh || !kept || !(keptGeometry == geometry) || keptHints.size() != hints.size() ||
                       keptBox.left != layer.left || keptBox.top != layer.top || keptBox.right != layer.right ||
                       keptBox.bottom != layer.bottom;
    std::vector<Box> parts;
    if (whole) {
        parts.push_back(layer);
    } else {
        const int w = geometry.w;
        for (size_t i = 0; i < hints.size(); ++i) {
            if (hints[i] == keptHints[i]) continue;
            const int width = static_cast<int>(std::max(keptHints[i] >= 0 ? numberWidth(keptHints[i]) : 0.0f,
                                                        hints[i] >= 0 ? numberWidth(hints[i]) : 0.0f));
            parts.push_back(cellHintBox(static_cast<int>(i % static_cast<size_t>(w)),
                                        static_cast<int>(i / static_cast<size_t>(w)), width));
        }
        parts = merged(parts, layer);
        if (parts.empty()) return;
    }
    if (!canvas.beginLayer(layer)) {
        kept = false;
        return;
    }
    canvas.translate(geometry.left, geometry.top);
    for (const Box& part : parts) {
        canvas.layerPart(part);
        draw(canvas);
    }
    canvas.translate(-geometry.left, -geometry.top);
    canvas.endLayer();
    kept = true;
    keptGeometry = geometry;
    keptHints = hints;
    keptBox = layer;
}

void HintLayer::show(Canvas& canvas) const {
    if (kept)
        canvas.showLayer();
    else
        draw(canvas);
}

// The crosses, then the numbers, of every cell that may reach the canvas's
// clip; the origin at the board's corner.
void HintLayer::draw(Canvas& canvas) const {
    const Geometry& g = geometry;
    const Box area = canvas.area();
    auto first = [](float edge, float cell, float back) {
        const float k = std::floor((edge - back) / cell) - 2;
        return k < 0 ? 0 : (k > 2e9f ? 2000000000 : static_cast<int>(k));
    };
    auto last = [](float edge, float cell, int count) {
        const float k = std::ceil(edge / cell);
        return k < 0 ? -1 : (k >= static_cast<float>(count) ? count - 1 : static_cast<int>(k));
    };
    const int x0 = first(area.left, g.columnW, reach + kMargin);
    const int x1 = last(area.right, g.columnW, g.w);
    const int y0 = first(area.top, g.rowH, 9 + kMargin);
    const int y1 = last(area.bottom, g.rowH, g.h);
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
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const int hint = hints[static_cast<size_t>(y) * static_cast<size_t>(g.w) + static_cast<size_t>(x)];
            if (hint < 0) continue;
            const std::string score = std::to_string(hint);
            canvas.text(static_cast<float>(x + 1) * g.columnW + 1, static_cast<float>(y + 1) * g.rowH + 9,
                        score.c_str(), 0, 0, 0, 0.5f);
        }
}
