#include "display.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>

#include "window_identity.h"

Display* Display::thisObj = nullptr;

namespace {

const char* const playError = "Error with: Battleships::play(Player *, Coord)";
const char* const tooSmall = "Field is too small, please expand it!";
const char* const keyHelp = "Press key to: (N) New game, (Q) Quit game, (F) Fulscreen toggle";

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

Display::Display(Battleships* battleships) {
    mouseOn.null();
    std::cout << "OpenGL initializing..." << std::endl;
    thisObj = this;
    game = battleships;
    player = game->mainPlayer;
    activeField = player->myField;

    // The game's own command line never reaches GLUT.
    int argc = 0;
    char* argv[] = {nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE);
    glutCreateWindow("Battleship game");
    identifyWindowToDesktop();
    reshape();
    glInit();
    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onResize);
    glutPassiveMotionFunc(onMouseMotion);
    glutMouseFunc(onMouse);
    glutKeyboardFunc(onKeyboard);

    fullscreen = false;
    rotated = false;
    mouseRightHolding = false;
    error = nullptr;
}

void Display::start() {
    std::cout << "Rendering game..." << std::endl;
    glutMainLoop();
}

void Display::refresh() {
    glutPostRedisplay();
}

void Display::glInit() {
    canvas.init();
    canvas.wholeFrame([this] { drawScene(); });
}

void Display::reshape() {
    const int x = glutGet(GLUT_SCREEN_WIDTH);
    const int y = glutGet(GLUT_SCREEN_HEIGHT);
    const int nx = static_cast<int>(static_cast<float>(x) / 1.2f);
    const int ny = static_cast<int>(static_cast<float>(y) / 1.2f);
    glutReshapeWindow(nx, ny);
    glutPositionWindow((x - nx) / 2, (y - ny) / 2 - 20);
}

void Display::onResize(int w, int h) {
    thisObj->layout(w, h);
}

void Display::layout(int w, int h) {
    const int columns = player->myField->w + 1;
    const int rows = player->myField->h + 1;
    windowW = static_cast<float>(w);
    windowH = static_cast<float>(h);
    fieldSizeW = windowW * 10.0f / 22.0f;
    fieldSizeH = static_cast<float>(rows) * (fieldSizeW / static_cast<float>(columns));
    fieldSpaceW = (windowW - 2.0f * fieldSizeW) / 3.0f;
    fieldSpaceWmiddle = fieldSpaceW;
    fieldSpaceH = (windowH - fieldSizeH) / 2.0f;
    if (fieldSpaceH < 30.0f) {
        // Too tall for the window: fit the boards to its height instead.
        fieldSpaceH = 30.0f;
        fieldSizeH = windowH - 2.0f * fieldSpaceH;
        fieldSizeW = static_cast<float>(columns) * (fieldSizeH / static_cast<float>(rows));
        fieldSpaceW = (windowW - (2.0f * fieldSizeW + fieldSpaceWmiddle)) / 2.0f;
    }
    columnW = fieldSizeW / static_cast<float>(columns);
    rowH = fieldSizeH / static_cast<float>(rows);
    columnOffset = columnW / 8.0f;
    rowOffset = rowH / 8.0f;

    canvas.resize(w, h);
    wholeFrame = true;
}

Coord Display::getPosition(int x, int y) {
    float left;
    if (player->isReady()) {
        activeField = player->enemyField;
        left = fieldSpaceWmiddle + static_cast<float>(static_cast<int>(fieldSizeW + fieldSpaceW));
    } else {
        activeField = player->myField;
        left = fieldSpaceW;
    }
    const float width = fieldSizeW / static_cast<float>(activeField->w + 1);
    const float height = fieldSizeH / static_cast<float>(activeField->h + 1);
    const float fx = (static_cast<float>(x) - left) / width;
    const float fy = (static_cast<float>(y) - fieldSpaceH) / height;
    // Far outside the board the quotient may not fit an int; it is off the
    // board either way.
    if (!(fx >= -1.0f && fx < 2147483000.0f && fy >= -1.0f && fy < 2147483000.0f)) return Coord();
    const int cx = static_cast<int>(std::floor(fx)) - 1;
    const int cy = static_cast<int>(std::floor(fy)) - 1;
    if (activeField->isOutOfRange(cx, cy)) return Coord();
    return Coord(cx, cy);
}

void Display::onMouseMotion(int x, int y) {
    Display* self = thisObj;
    const Coord pos = self->getPosition(x, y);
    if (pos != self->mouseOn) {
        self->mouseOn = pos;
        self->refresh();
    }
}

void Display::onMouse(int button, int state, int x, int y) {
    thisObj->mouse(button, state, x, y);
}

void Display::mouse(int button, int state, int x, int y) {
    if (error != nullptr || game->winPlayer != nullptr) {
        // The hint overlay shows only while the button is held, whatever
        // happened while it was down.
        if (button == GLUT_RIGHT_BUTTON && state != GLUT_DOWN && mouseRightHolding) {
            mouseRightHolding = false;
            refresh();
        }
        return;
    }
    mouseOn = getPosition(x, y);
    cellsMayChange = true;
    const bool pressed = state == GLUT_DOWN;
    if (button == GLUT_RIGHT_BUTTON) {
        if (pressed) {
            mouseRightHolding = true;
        } else {
            mouseRightHolding = false;
            if (!player->isReady()) rotated = !rotated;
        }
    } else if ((button == GLUT_LEFT_BUTTON || button == GLUT_MIDDLE_BUTTON) && !pressed) {
        if (!player->isReady()) {
            Ship* shipToPlace = player->getShipToPlace();
            if (shipToPlace != nullptr && player->setShip(shipToPlace, mouseOn, rotated))
                mouseOn.null();
        } else if (!game->play(player, mouseOn)) {
            error = playError;
        }
    }
    refresh();
}

void Display::onKeyboard(unsigned char key, int x, int y) {
    thisObj->keyboard(key, x, y);
}

void Display::keyboard(unsigned char key, int x, int y) {
    if (error != nullptr) return;
    switch (key) {
    case 'N':
    case 'n':
        game->newGame();
        break;
    case 'Q':
    case 'q':
        exit(0);
    case 'F':
    case 'f':
        if (fullscreen) {
            reshape();
            fullscreen = false;
        } else {
            glutFullScreen();
            fullscreen = true;
        }
        break;
    case 'S':
    case 's':
        if (!player->isReady()) player->loadShips();
        break;
    default:
        break;
    }
    layout(static_cast<int>(windowW), static_cast<int>(windowH));
    // A key may change the phase, the boards or their size: the board and the
    // cell under the pointer are found anew, as a pointer movement would.
    mouseOn = getPosition(x, y);
    refresh();
}

void Display::onDisplay() {
    thisObj->drawFrame();
}

// Draws what changed since the window last showed a frame, or the whole
// frame when the window lost what it showed or anything is unsure. A part
// is drawn exactly as the whole frame draws it, under a clip.
void Display::drawFrame() {
    std::vector<Box> boxes;
    const bool part = changedParts(boxes);
    if (part && boxes.empty()) return;
    if (shown.overlay) {
        // Anything unsure reads the hints and draws their layer anew as well.
        if (!part) {
            hintsRead = false;
            takeHints();
        }
        hints.update(canvas, !part);
    }
    if (!part) {
        drawScene();
        canvas.showAll();
        backPlain = false;
        plainKept = false;
        return;
    }
    // The boxes go on the window together, once the back buffer holds the
    // whole frame: some presentations put all of it there, whatever the box.
    for (const Box& box : boxes) drawBox(box);
    canvas.clip(Box());
    canvas.showParts(boxes);
}

// Takes what the window should show now as shown; true with the boxes to
// redraw when a part of the frame will do (none: nothing changed), false
// when the whole frame is due.
bool Display::changedParts(std::vector<Box>& boxes) {
    const bool kept = canvas.canRedrawPart();
    const bool cellsDue = cellsMayChange || wholeFrame || !shown.valid || !kept;
    Shown now = look(cellsDue);
    if (!cellsDue) {
        now.ownCells.swap(shown.ownCells);
        now.recordCells.swap(shown.recordCells);
    }
    const bool part = kept && !wholeFrame && changedBoxes(shown, now, cellsDue, frameLayout(), boxes);
    shown = std::move(now);
    cellsMayChange = false;
    wholeFrame = false;
    if (!part) return false;
    const Box window{0, 0, windowW, windowH};
    boxes = merged(boxes, window);
    if (boxes.empty()) return true;
    float area = 0;
    for (const Box& box : boxes) area += box.area();
    return area < 0.6f * window.area();
}

// The hint overlay shows over the own board while the right button is held
// in battle with the pointer off that board.
bool Display::overlayHeld() const {
    return mouseRightHolding && player->isReady() && activeField != player->myField;
}

// Whether nothing drawn after the own board reaches the overlay's box, so
// that the overlay may as well be laid over the finished picture.
bool Display::overlayOnTop() const {
    if (error != nullptr || !game->secondPlayer->isReady() || game->winPlayer != nullptr) return false;
    const Box overlay = hints.box();
    const Box later{recordLeft() - 4, 0, windowW, windowH};
    const Box help = textReach(frameLayout().summaryX(fieldSpaceW), fieldSpaceH + fieldSizeH + 21,
                               static_cast<float>(Canvas::textWidth(keyHelp)));
    return !overlay.overlaps(later) && !overlay.overlaps(help);
}

// One box of a frame drawn into the back buffer, and nothing outside it. The
// overlay pressed or released with nothing else changed under it is laid
// over, or taken off, the picture the back buffer holds where it can; that
// picture is drawn only when unsure.
void Display::drawBox(const Box& box) {
    const Box window{0, 0, windowW, windowH};
    const Box overlay = hints.box().cut(window);
    canvas.clip(box);
    if (shown.overlay && box == overlay && overlayOnTop()) {
        if (!(backPlain && backPlainBox == box)) {
            overlayInScene = false;
            drawScene();
            overlayInScene = true;
        }
        canvas.keepPixels(box);
        hints.show(canvas);
        backPlain = false;
        plainKept = true;
        plainKeptBox = box;
        return;
    }
    if (!shown.overlay && plainKept && box == plainKeptBox) {
        canvas.putBackPixels(hints.cover());
        backPlain = true;
        backPlainBox = box;
        return;
    }
    drawScene();
    // What the box left in the back buffer.
    if (plainKept && box.overlaps(plainKeptBox)) plainKept = false;
    if (shown.overlay) {
        if (box.overlaps(overlay)) backPlain = false;
    } else if (box.contains(overlay)) {
        backPlain = true;
        backPlainBox = overlay;
    }
}

Shown Display::look(bool cells) {
    Shown s;
    s.valid = true;
    s.ready = player->isReady();
    s.tooSmall = !game->secondPlayer->isReady();
    s.winner = game->winPlayer;
    s.error = error;
    s.own = player->myField;
    s.record = player->enemyField;
    s.w = s.own->w;
    s.h = s.own->h;
    s.ownSummary = player->getShipsCount(s.ready ? 1 : 0);
    if (s.ready) s.enemySummary = game->secondPlayer->getShipsCount(1);
    s.ownSummaryWidth = static_cast<float>(Canvas::textWidth(s.ownSummary.c_str()));
    s.enemySummaryWidth = static_cast<float>(Canvas::textWidth(s.enemySummary.c_str()));
    lookAtMark(s);
    s.overlay = overlayHeld();
    if (s.overlay) {
        s.hintsChanged = takeHints();
        s.overlayBox = hints.box();
    }
    if (cells) {
        readCells(*s.own, s.ownCells);
        readCells(*s.record, s.recordCells);
    }
    return s;
}

// The pointer's mark, drawn on the board the pointer works on: the target
// square, or the ship to place as it would lie.
void Display::lookAtMark(Shown& s) const {
    const bool drawnBoard = activeField == s.own || (s.ready && activeField == s.record);
    if (s.winner != nullptr || !drawnBoard || mouseOn.x < 0) return;
    const float left = activeField == s.own ? fieldSpaceW : recordLeft();
    if (s.ready) {
        Coord on = mouseOn;
        if (activeField->isHit(on) == 0) {
            s.mark = true;
            s.markKind = 1;
            s.markBox = frameLayout().cells(left, mouseOn.x, mouseOn.y, 1, 1);
        }
    } else if (Ship* ship = player->getShipToPlace()) {
        const int size = ship->getSize();
        s.mark = true;
        s.markKind = 2 + (player->isShipSetable(ship, mouseOn, rotated) ? 1 : 0);
        s.markBox = frameLayout().cells(left, mouseOn.x, mouseOn.y, rotated ? 1 : size, rotated ? size : 1);
    }
}

FrameLayout Display::frameLayout() const {
    FrameLayout at;
    at.ownLeft = fieldSpaceW;
    at.recordLeft = recordLeft();
    at.top = fieldSpaceH;
    at.columnW = columnW;
    at.rowH = rowH;
    return at;
}

// Reads every cell's hint for the overlay, unless the computer's record
// board and the biggest ship afloat are as they were when last read; true
// when they changed.
bool Display::takeHints() {
    Field* record = game->secondPlayer->enemyField;
    Ship* ship = player->getNotDestroyedShipBiggest();
    const int size = ship != nullptr ? ship->getSize() : 0;
    HintLayer::Geometry g;
    g.left = fieldSpaceW;
    g.top = fieldSpaceH;
    g.width = static_cast<float>(static_cast<int>(fieldSizeW));
    g.height = static_cast<float>(static_cast<int>(fieldSizeH));
    g.columnW = columnW;
    g.rowH = rowH;
    g.columnOffset = columnOffset;
    g.rowOffset = rowOffset;
    g.w = player->myField->w;
    g.h = player->myField->h;
    if (hintsRead && record->getSerial() == hintSerial && record->getRevision() == hintRevision &&
        ship == hintShip && size == hintShipSize && hints.laidOut(g))
        return false;
    Player* computer = game->secondPlayer;
    std::vector<int> values(static_cast<size_t>(g.w) * static_cast<size_t>(g.h));
    size_t i = 0;
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x, ++i) {
            Coord cell(x, y);
            values[i] = record->isShipTargetable(ship, cell) ? computer->testSituation(ship, cell) : -1;
        }
    hintsRead = true;
    hintSerial = record->getSerial();
    hintRevision = record->getRevision();
    hintShip = ship;
    hintShipSize = size;
    return hints.set(g, std::move(values));
}

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
