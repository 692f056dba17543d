#include "frame_changes.h"

#include <algorithm>
#include <utility>

#include "coord.h"
#include "ship.h"

Box FrameLayout::cells(float left, int x, int y, int dx, int dy) const {
    return Box{left + static_cast<float>(x + 1) * columnW, top + static_cast<float>(y + 1) * rowH,
               left + static_cast<float>(x + 1 + dx) * columnW, top + static_cast<float>(y + 1 + dy) * rowH}
        .grown(4);
}

void readCells(const Field& field, std::vector<std::uint8_t>& codes) {
    codes.resize(static_cast<size_t>(field.w) * static_cast<size_t>(field.h));
    size_t i = 0;
    for (int y = 0; y < field.h; ++y) {
        for (int x = 0; x < field.w; ++x, ++i) {
            int code = field.get(x, y) & 3;
            Ship* ship = field.getShip(x, y);
            if (ship != nullptr && ship->getCoord() == Coord(x, y))
                code |= 4 | (ship->isDestroyed() ? 8 : 0) | (ship->getDirection() ? 16 : 0) |
                        (std::min(ship->getSize(), 7) << 5);
            codes[i] = static_cast<std::uint8_t>(code);
        }
    }
}

namespace {

// Whatever decides the layout or the banners: any change of it is a whole
// frame.
bool sameFrame(const Shown& was, const Shown& now) {
    return was.valid && now.ready == was.ready && now.tooSmall == was.tooSmall && now.winner == was.winner &&
           now.error == was.error && now.own == was.own && now.record == was.record && now.w == was.w &&
           now.h == was.h;
}

void summaryChanges(const Shown& was, const Shown& now, const FrameLayout& at, std::vector<Box>& boxes) {
    const float y = at.summaryY();
    if (now.ownSummary != was.ownSummary) {
        const float x = at.summaryX(at.ownLeft);
        boxes.push_back(textReach(x, y, was.ownSummaryWidth));
        boxes.push_back(textReach(x, y, now.ownSummaryWidth));
    }
    if (now.enemySummary != was.enemySummary) {
        const float x = at.summaryX(at.recordLeft);
        boxes.push_back(textReach(x, y, was.enemySummaryWidth));
        boxes.push_back(textReach(x, y, now.enemySummaryWidth));
    }
}

void markChanges(const Shown& was, const Shown& now, std::vector<Box>& boxes) {
    if (now.mark == was.mark && now.markKind == was.markKind && now.markBox == was.markBox) return;
    if (was.mark) boxes.push_back(was.markBox);
    if (now.mark) boxes.push_back(now.markBox);
}

// The boxes of one board's changed cells; true when any changed.
bool cellChanges(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& after, int w,
                 float left, const FrameLayout& at, std::vector<Box>& boxes) {
    bool any = false;
    for (size_t i = 0; i < after.size() && i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        any = true;
        const int x = static_cast<int>(i % static_cast<size_t>(w));
        const int y = static_cast<int>(i / static_cast<size_t>(w));
        boxes.push_back(at.cells(left, x, y, 1, 1));
        // A ship is drawn from its first cell over all of its cells.
        for (const std::uint8_t code : {before[i], after[i]}) {
            if ((code & 4) == 0) continue;
            const int size = code >> 5;
            const bool down = (code & 16) != 0;
            boxes.push_back(at.cells(left, x, y, down ? 1 : size, down ? size : 1));
        }
    }
    return any;
}

}  // namespace

bool changedBoxes(const Shown& was, const Shown& now, bool cells, const FrameLayout& at,
                  std::vector<Box>& boxes) {
    if (!sameFrame(was, now)) return false;
    // A window under 60 pixels tall fits the boards to less than nothing:
    // cells of no size or turned over, around which no box is sure.
    if (!(at.columnW > 0 && at.rowH > 0)) return false;
    summaryChanges(was, now, at, boxes);
    markChanges(was, now, boxes);
    bool boards = false;
    if (cells) {
        boards = cellChanges(was.ownCells, now.ownCells, was.w, at.ownLeft, at, boxes);
        boards = cellChanges(was.recordCells, now.recordCells, was.w, at.recordLeft, at, boxes) || boards;
    }
    // The overlay lies over the own board as one layer: drawn again as a
    // whole wherever anything under it or in it changed.
    if (was.overlay && (!now.overlay || boards || now.hintsChanged)) boxes.push_back(was.overlayBox);
    if (now.overlay && (!was.overlay || boards || now.hintsChanged)) boxes.push_back(now.overlayBox);
    return true;
}

bool FrameTracker::next(Shown now, bool kept, const FrameLayout& at, std::vector<Box>& boxes) {
    const bool cells = cellsDue(kept);
    // Unread cells are as they were.
    if (!cells) {
        now.ownCells.swap(was.ownCells);
        now.recordCells.swap(was.recordCells);
    }
    const bool part = kept && !whole && changedBoxes(was, now, cells, at, boxes);
    was = std::move(now);
    cellsMayChange = false;
    whole = false;
    if (!part) return false;
    const Box window{0, 0, at.width, at.height};
    boxes = merged(boxes, window);
    if (boxes.empty()) return true;
    float area = 0;
    for (const Box& box : boxes) area += box.area();
    return area < 0.6f * window.area();
}

// The overlay pressed or released with nothing else changed under it is laid
// over, or taken off, the picture the back buffer holds where it can; that
// picture is drawn only when unsure.
FrameTracker::BoxWork FrameTracker::plan(const Box& box, const Box& overlay, bool onTop) const {
    if (was.overlay && box == overlay && onTop)
        return backPlain && backPlainBox == box ? BoxWork::layOverlay : BoxWork::drawPlainThenLayOverlay;
    if (!was.overlay && plainKept && box == plainKeptBox) return BoxWork::putBackPlain;
    return BoxWork::scene;
}

void FrameTracker::drawn(BoxWork work, const Box& box, const Box& overlay) {
    switch (work) {
    case BoxWork::layOverlay:
    case BoxWork::drawPlainThenLayOverlay:
        backPlain = false;
        plainKept = true;
        plainKeptBox = box;
        return;
    case BoxWork::putBackPlain:
        backPlain = true;
        backPlainBox = box;
        return;
    case BoxWork::scene:
        break;
    }
    if (plainKept && box.overlaps(plainKeptBox)) plainKept = false;
    if (was.overlay) {
        if (box.overlaps(overlay)) backPlain = false;
    } else if (box.contains(overlay)) {
        backPlain = true;
        backPlainBox = overlay;
    }
}
