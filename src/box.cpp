#include "box.h"

#include <cmath>

Box Box::joined(const Box& other) const {
    if (empty()) return other;
    if (other.empty()) return *this;
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
}

std::vector<Box> merged(std::vector<Box> boxes, const Box& within) {
    for (Box& box : boxes) box = box.cut(within);
    boxes.erase(std::remove_if(boxes.begin(), boxes.end(), [](const Box& b) { return b.empty(); }), boxes.end());
    for (bool again = true; again;) {
        again = false;
        for (size_t i = 0; i < boxes.size() && !again; ++i)
            for (size_t j = i + 1; j < boxes.size() && !again; ++j)
                if (boxes[i].overlaps(boxes[j])) {
                    boxes[i] = boxes[i].joined(boxes[j]);
                    boxes.erase(boxes.begin() + static_cast<long>(j));
                    again = true;
                }
    }
    if (boxes.size() > 8) {
        Box all;
        for (const Box& box : boxes) all = all.joined(box);
        boxes.assign(1, all);
    }
    return boxes;
}

int firstCellFrom(float edge, float cell, int back) {
    const float k = std::floor(edge / cell) - 1 - static_cast<float>(back);
    return k < 0 ? 0 : (k > 2e9f ? 2000000000 : static_cast<int>(k));
}

int lastCellTo(float edge, float cell, int count) {
    const float k = std::ceil(edge / cell);
    return k < 0 ? -1 : (k >= static_cast<float>(count) ? count - 1 : static_cast<int>(k));
}

Box textReach(float x, float y, float width) {
    return Box{x - 3, y - 16, x + width + 4, y + 6};
}
