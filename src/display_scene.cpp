// The scene: everything a frame shows, drawn through the canvas in
// functions named after what they draw. Whole or under a clip alike: the
// drawing leaves every pixel inside the clip as the whole frame would.

#include "display.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

const char* const tooSmall = "Field is too small, please expand it!";

// Letters while the font has a printable character for them ('A' for the
// first column, then on through the character table); past '~' the column's
// number, since the font has nothing printable there.
std::string columnLabel(int k) {
    const int code = 64 + k;
    if (code <= '~') return std::string(1, static_cast<char>(code));
    return std::to_string(k);
}

// One or two digits as drawn up to 99; the whole number from 100 on.
std::string rowLabel(int k) {
    return std::to_string(k);
}

// A label's index, kept within lo and hi before it becomes an int: cells
// squeezed to nothing by a tiny window give quotients past any int, or none.
int clampedIndex(float index, int lo, int hi) {
    if (!(index > static_cast<float>(lo))) return lo;
    if (index >= static_cast<float>(hi)) return hi;
    return static_cast<int>(index);
}

}  // namespace

void Display::drawScene() {
    const bool ready = player->isReady();
    const FrameLayout at = frameLayout();
    const float tx = at.summaryX(fieldSpaceW);
    const float ty = at.summaryY();

    canvas.clear();

    renderText(tx, ty - 18, ready ? "Remaining ships:" : "Ships to set:", 1, 1, 1, 0.7f);
    renderText(tx, ty, player->getShipsCount(ready ? 1 : 0).c_str(), 1, 1, 1, 1);

    canvas.translate(fieldSpaceW, fieldSpaceH);
    renderField(static_cast<int>(fieldSizeW), static_cast<int>(fieldSizeH), player->myField);
    canvas.translate(-fieldSpaceW, -fieldSpaceH);

    renderText(tx, fieldSpaceH + fieldSizeH + 21, keyHelp, 1, 1, 1, 0.5f);

    if (ready) {
        const float ex = recordLeft();
        renderText(at.summaryX(ex), ty - 18, "Ships to destroy:", 1, 1, 1, 0.7f);
        renderText(at.summaryX(ex), ty, game->secondPlayer->getShipsCount(1).c_str(), 1, 1, 1, 1);
        canvas.translate(ex, fieldSpaceH);
        renderField(static_cast<int>(fieldSizeW), static_cast<int>(fieldSizeH), player->enemyField);
        canvas.translate(-ex, -fieldSpaceH);
    } else {
        renderPlacingHelp();
    }

    if (error != nullptr) renderStatus(error, true);

    if (!game->secondPlayer->isReady())
        renderStatus(tooSmall, true);
    else if (game->winPlayer != nullptr)
        renderStatus(game->winPlayer == player ? "You win!" : "You lose!", game->winPlayer != player);
}

// Where the record board will stand: what to do while placing.
void Display::renderPlacingHelp() {
    const float ix = fieldSpaceW + fieldSizeW + 0.1f * fieldSizeW;
    const float iy = fieldSpaceH + 0.25f * fieldSizeH;
    renderText(ix, iy, "Set your ships!", 1, 1, 1, 1);
    renderText(ix, iy + 20, "- use left mouse to set your ships", 1, 1, 1, 0.7f);
    renderText(ix, iy + 40, "- use right mouse to change ship orientation", 1, 1, 1, 0.7f);
    renderText(ix, iy + 60, "- press (S) to automatically set your ships", 1, 1, 1, 0.7f);
}

void Display::renderLabels(Field* field) {
    const int columns = field->w + 1;
    const int rows = field->h + 1;
    const Box area = canvas.area();
    // Only the labels whose text can reach into the clip: a text reaches 16
    // pixels above its baseline, 6 below, and its width about its cell,
    // which on a small window is many cells. Cells of no size or turned
    // over (a window under 60 pixels tall) take them all.
    int firstColumn = 1, lastColumn = columns - 1, firstRow = 1, lastRow = rows - 1;
    if (columnW > 0 && rowH > 0) {
        const float widest = static_cast<float>(std::max({Canvas::textWidth("W"),
            Canvas::textWidth(columnLabel(columns - 1).c_str()), Canvas::textWidth(rowLabel(rows - 1).c_str())}));
        const float base = (rowH + 8.5f) / 2;
        firstColumn = clampedIndex(std::floor((area.left - widest - 3) / columnW) - 1, 1, columns);
        lastColumn = clampedIndex(std::ceil((area.right + widest + 2) / columnW) + 1, 0, columns - 1);
        firstRow = clampedIndex(std::floor((area.top - 6 - base) / rowH) - 1, 1, rows);
        lastRow = clampedIndex(std::ceil((area.bottom + 16) / rowH) + 1, 0, rows - 1);
    }
    if (area.top < rowH + 16) {
        for (int k = firstColumn; k <= lastColumn; ++k) {
            const std::string label = columnLabel(k);
            const float width = static_cast<float>(Canvas::textWidth(label.c_str()));
            renderText((columnW - width) / 2 + static_cast<float>(k) * columnW, (rowH + 8.5f) / 2, label.c_str(), 1,
                       1, 1, 1);
        }
    }
    if (area.left < columnW + 40) {
        for (int k = firstRow; k <= lastRow; ++k) {
            const std::string label = rowLabel(k);
            const float width = static_cast<float>(Canvas::textWidth(label.c_str()));
            renderText((columnW - width) / 2, static_cast<float>(k) * rowH + (rowH + 8.5f) / 2, label.c_str(), 1, 1,
                       1, 1);
        }
    }
}

void Display::renderField(int width, int height, Field* field) {
    renderGrid(static_cast<float>(width), static_cast<float>(height), field->w + 1, field->h + 1);
    renderLabels(field);
    renderCells(field);
    // The hint overlay lies over the board's cells as one layer.
    if (field == player->myField && overlayHeld() && overlayInScene) hints.show(canvas);
    canvas.plainLines();
    if (game->winPlayer == nullptr && activeField == field && mouseOn.x >= 0) renderMark();
}

// The board's white ground, the grey bands of its labels and the lines
// between its cells.
void Display::renderGrid(float fw, float fh, int columns, int rows) {
    canvas.colour(0.99f, 0.99f, 0.99f, 1);
    canvas.fill(0, 0, fw, fh);

    canvas.colour(0.3f, 0.3f, 0.3f, 0.8f);
    canvas.fill(0, 0, columnW, fh);
    canvas.fill(0, 0, fw, rowH);

    canvas.colour(0.7f, 0.7f, 0.7f, 1);
    canvas.beginLines();
    for (int k = 0; k <= columns; ++k) canvas.segment(static_cast<float>(k) * columnW, 0, static_cast<float>(k) * columnW, fh);
    for (int k = 0; k <= rows; ++k) canvas.segment(0, static_cast<float>(k) * rowH, fw, static_cast<float>(k) * rowH);
    canvas.endLines();
}

// The ships and crosses of the cells whose drawing may reach the clip: a
// ship from up to five cells before.
void Display::renderCells(Field* field) {
    const Box area = canvas.area();
    // A ship is drawn from its first cell: up to five cells back.
    const int back = 5;
    const int x0 = firstCellFrom(area.left, columnW, back);
    const int x1 = lastCellTo(area.right, columnW, field->w);
    const int y0 = firstCellFrom(area.top, rowH, back);
    const int y1 = lastCellTo(area.bottom, rowH, field->h);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            Ship* ship = field->getShip(x, y);
            if (ship != nullptr && ship->getCoord() == Coord(x, y)) renderPlacedShip(ship, x, y);
            const int get = field->get(x, y);
            if (get == 1)
                renderCross(y, x, 0.4f, 0.4f, 0.4f, 0.7f, 2);
            else if (get == 2)
                renderCross(y, x, 1, 0.2f, 0.2f, 0.9f, 2);
        }
    }
}

// A ship where it lies, grey, or red once sunk.
void Display::renderPlacedShip(Ship* ship, int x, int y) {
    if (ship->isDestroyed()) {
        canvas.colour(0.9f, 0.5f, 0.5f, 0.6f);
        renderShip(ship->getSize(), y, x, ship->getDirection(), 0.9f, 0.1f, 0.1f, 0.7f);
    } else {
        canvas.colour(0.8f, 0.8f, 0.8f, 0.7f);
        renderShip(ship->getSize(), y, x, ship->getDirection(), 0.4f, 0.4f, 0.4f, 0.7f);
    }
}

// The pointer's mark on the board it works on: the target square over a cell
// not yet shot at, or the ship to place, green where it may lie, else red.
void Display::renderMark() {
    if (player->isReady()) {
        if (activeField->isHit(mouseOn) == 0) renderSquad(mouseOn.x, mouseOn.y, 1, 0.3f, 0.3f, 0.7f);
        return;
    }
    Ship* shipToPlace = player->getShipToPlace();
    if (shipToPlace == nullptr) return;
    if (player->isShipSetable(shipToPlace, mouseOn, rotated)) {
        canvas.colour(0.5f, 0.9f, 0.5f, 0.6f);
        renderShip(shipToPlace->getSize(), mouseOn.y, mouseOn.x, rotated, 0.1f, 0.9f, 0.1f, 0.7f);
    } else {
        canvas.colour(0.9f, 0.5f, 0.5f, 0.6f);
        renderShip(shipToPlace->getSize(), mouseOn.y, mouseOn.x, rotated, 0.9f, 0.1f, 0.1f, 0.7f);
    }
}

void Display::renderShip(int get, int i, int j, bool rotate, float r, float g, float b, float a) {
    const int dx = rotate ? 1 : get;
    const int dy = rotate ? get : 1;
    const float left = static_cast<float>(j + 1) * columnW + columnOffset;
    const float right = static_cast<float>(j + 1 + dx) * columnW - columnOffset;
    const float top = static_cast<float>(i + 1) * rowH + rowOffset;
    const float bottom = static_cast<float>(i + 1 + dy) * rowH - rowOffset;

    // The fill takes the colour the caller set.
    canvas.fill(left, top, right, bottom);
    canvas.colour(r, g, b, a);
    canvas.outline(left, top, right, bottom, 1);
}

void Display::renderCross(int i, int j, float r, float g, float b, float a, float divide) {
    const float left = static_cast<float>(j + 1) * columnW;
    const float right = static_cast<float>(j + 2) * columnW;
    const float top = static_cast<float>(i + 1) * rowH;
    const float bottom = static_cast<float>(i + 2) * rowH;
    const float dx = columnOffset * divide;
    const float dy = rowOffset * divide;

    canvas.colour(r, g, b, a);
    canvas.cross(left + dx, top + dy, right - dx, bottom - dy);
}

void Display::renderCross(int i, int j, float r, float g, float b, float a) {
    renderCross(i, j, r, g, b, a, 2);
}

void Display::renderSquad(int i, int j, float r, float g, float b, float a) {
    canvas.colour(r, g, b, a);
    canvas.outline(static_cast<float>(i + 1) * columnW, static_cast<float>(j + 1) * rowH,
                   static_cast<float>(i + 2) * columnW, static_cast<float>(j + 2) * rowH, 3);
    canvas.plainLines();
}

void Display::renderText(float x, float y, const char* text, float r, float g, float b, float a) {
    canvas.text(x, y, text, r, g, b, a);
}

void Display::renderStatus(const char* text, bool warning) {
    const float s = static_cast<float>(Canvas::textWidth(text, true));
    const float cx = (windowW - s) / 2;
    const float cy = windowH / 2;

    if (warning)
        canvas.colour(232 / 255.0f, 93 / 255.0f, 75 / 255.0f, 0.7f);
    else
        canvas.colour(75 / 255.0f, 93 / 255.0f, 232 / 255.0f, 0.7f);
    canvas.fill(cx - 100, cy - 80, cx + s + 100, cy + 70);

    canvas.colour(1, 1, 1, 1);
    canvas.fill(cx - 60, cy - 50, cx + s + 60, cy + 40);

    canvas.colour(0, 0, 0, 1);
    if (canvas.visible(cx, cy - 20, cx + s, cy + 8)) canvas.bigText(cx, cy + 3, text);
}
