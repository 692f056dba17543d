#include "box.h"

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
