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
    const bool kept = canvas.canRedrawPart();
    const bool readCells = cellsMayChange || wholeFrame || !shown.valid || !kept;
    Shown now = look(readCells);
    if (!readCells) {
        now.ownCells.swap(shown.ownCells);
        now.recordCells.swap(shown.recordCells);
    }
    std::vector<Box> boxes;
    bool part = kept && !wholeFrame && changes(now, readCells, boxes);
    shown = std::move(now);
    cellsMayChange = false;
    wholeFrame = false;

    const Box window{0, 0, windowW, windowH};
    if (part) {
        boxes = merged(boxes, window);
        if (boxes.empty()) return;
        float area = 0;
        for (const Box& box : boxes) area += box.area();
        part = area < 0.6f * window.area();
    }
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

// Whether nothing drawn after the own board reaches the overlay's box, so
// that the overlay may as well be laid over the finished picture.
bool Display::overlayOnTop() const {
    if (error != nullptr || !game->secondPlayer->isReady() || game->winPlayer != nullptr) return false;
    const Box overlay = hints.box();
    const Box later{recordLeft() - 4, 0, windowW, windowH};
    const Box help = textBox(fieldSpaceW + columnW / 4, fieldSpaceH + fieldSizeH + 21,
                             "Press key to: (N) New game, (Q) Quit game, (F) Fulscreen toggle");
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

Display::Shown Display::look(bool cells) {
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

    // The pointer's mark, drawn on the board the pointer works on.
    const bool drawnBoard = activeField == s.own || (s.ready && activeField == s.record);
    if (s.winner == nullptr && drawnBoard && mouseOn.x >= 0) {
        const float left = activeField == s.own ? fieldSpaceW : recordLeft();
        if (s.ready) {
            if (activeField->isHit(mouseOn) == 0) {
                s.mark = true;
                s.markKind = 1;
                s.markBox = cellBox(left, mouseOn.x, mouseOn.y, 1, 1);
            }
        } else if (Ship* ship = player->getShipToPlace()) {
            const int size = ship->getSize();
            s.mark = true;
            s.markKind = 2 + (player->isShipSetable(ship, mouseOn, rotated) ? 1 : 0);
            s.markBox = cellBox(left, mouseOn.x, mouseOn.y, rotated ? 1 : size, rotated ? size : 1);
        }
    }
    s.overlay = mouseRightHolding && s.ready && activeField != s.own;
    if (s.overlay) {
        s.hintsChanged = takeHints();
        s.overlayBox = hints.box();
    }

    if (cells) {
        for (int board = 0; board < 2; ++board) {
            Field* field = board == 0 ? s.own : s.record;
            std::vector<std::uint8_t>& codes = board == 0 ? s.ownCells : s.recordCells;
            codes.resize(static_cast<size_t>(field->w) * static_cast<size_t>(field->h));
            size_t i = 0;
            for (int y = 0; y < field->h; ++y) {
                for (int x = 0; x < field->w; ++x, ++i) {
                    int code = field->get(x, y) & 3;
                    Ship* ship = field->getShip(x, y);
                    if (ship != nullptr && ship->getCoord() == Coord(x, y))
                        code |= 4 | (ship->isDestroyed() ? 8 : 0) | (ship->getDirection() ? 16 : 0) |
                                (std::min(ship->getSize(), 7) << 5);
                    codes[i] = static_cast<std::uint8_t>(code);
                }
            }
        }
    }
    return s;
}

// The boxes of the window that differ between what it shows and what it
// should show now; false when the whole frame must be drawn.
bool Display::changes(const Shown& now, bool cells, std::vector<Box>& boxes) const {
    const Shown& was = shown;
    if (!was.valid || now.ready != was.ready || now.tooSmall != was.tooSmall || now.winner != was.winner ||
        now.error != was.error || now.own != was.own || now.record != was.record || now.w != was.w ||
        now.h != was.h)
        return false;
    const float tx = fieldSpaceW + columnW / 4;
    const float ty = fieldSpaceH - 13;
    if (now.ownSummary != was.ownSummary) {
        boxes.push_back(textBox(tx, ty, was.ownSummary));
        boxes.push_back(textBox(tx, ty, now.ownSummary));
    }
    if (now.enemySummary != was.enemySummary) {
        const float ex = recordLeft() + columnW / 4;
        boxes.push_back(textBox(ex, ty, was.enemySummary));
        boxes.push_back(textBox(ex, ty, now.enemySummary));
    }
    if (now.mark != was.mark || now.markKind != was.markKind || now.markBox.left != was.markBox.left ||
        now.markBox.top != was.markBox.top || now.markBox.right != was.markBox.right ||
        now.markBox.bottom != was.markBox.bottom) {
        if (was.mark) boxes.push_back(was.markBox);
        if (now.mark) boxes.push_back(now.markBox);
    }
    bool boards = false;
    if (cells) {
        boards = cellChanges(was.ownCells, now.ownCells, fieldSpaceW, boxes);
        boards = cellChanges(was.recordCells, now.recordCells, recordLeft(), boxes) || boards;
    }
    // The overlay lies over the own board as one layer: drawn again as a
    // whole wherever anything under it or in it changed.
    if (was.overlay && (!now.overlay || boards || now.hintsChanged)) boxes.push_back(was.overlayBox);
    if (now.overlay && (!was.overlay || boards || now.hintsChanged)) boxes.push_back(now.overlayBox);
    return true;
}

bool Display::cellChanges(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& after,
                          float left, std::vector<Box>& boxes) const {
    bool any = false;
    const int w = shown.w;
    for (size_t i = 0; i < after.size() && i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        any = true;
        const int x = static_cast<int>(i % static_cast<size_t>(w));
        const int y = static_cast<int>(i / static_cast<size_t>(w));
        boxes.push_back(cellBox(left, x, y, 1, 1));
        // A ship is drawn from its first cell over all of its cells.
        for (const std::uint8_t code : {before[i], after[i]}) {
            if ((code & 4) == 0) continue;
            const int size = code >> 5;
            const bool down = (code & 16) != 0;
            boxes.push_back(cellBox(left, x, y, down ? 1 : size, down ? size : 1));
        }
    }
    return any;
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

Box Display::cellBox(float left, int x, int y, int dx, int dy) const {
    return Box{left + static_cast<float>(x + 1) * columnW, fieldSpaceH + static_cast<float>(y + 1) * rowH,
               left + static_cast<float>(x + 1 + dx) * columnW, fieldSpaceH + static_cast<float>(y + 1 + dy) * rowH}
        .grown(4);
}

Box Display::textBox(float x, float y, const std::string& text) const {
    return Box{x - 3, y - 16, x + static_cast<float>(Canvas::textWidth(text.c_str())) + 4, y + 6};
}

void Display::drawScene() {
    const bool ready = player->isReady();
    const float tx = fieldSpaceW + columnW / 4;
    const float ty = fieldSpaceH - 13;

    canvas.clear();

    renderText(tx, ty - 18, ready ? "Remaining ships:" : "Ships to set:", 1, 1, 1, 0.7f);
    renderText(tx, ty, player->getShipsCount(ready ? 1 : 0).c_str(), 1, 1, 1, 1);

    canvas.translate(fieldSpaceW, fieldSpaceH);
    renderField(static_cast<int>(fieldSizeW), static_cast<int>(fieldSizeH), player->myField);
    canvas.translate(-fieldSpaceW, -fieldSpaceH);

    renderText(tx, fieldSpaceH + fieldSizeH + 21,
               "Press key to: (N) New game, (Q) Quit game, (F) Fulscreen toggle", 1, 1, 1, 0.5f);

    if (ready) {
        const float ex = recordLeft();
        renderText(ex + columnW / 4, ty - 18, "Ships to destroy:", 1, 1, 1, 0.7f);
        renderText(ex + columnW / 4, ty, game->secondPlayer->getShipsCount(1).c_str(), 1, 1, 1, 1);
        canvas.translate(ex, fieldSpaceH);
        renderField(static_cast<int>(fieldSizeW), static_cast<int>(fieldSizeH), player->enemyField);
        canvas.translate(-ex, -fieldSpaceH);
    } else {
        const float ix = fieldSpaceW + fieldSizeW + 0.1f * fieldSizeW;
        const float iy = fieldSpaceH + 0.25f * fieldSizeH;
        renderText(ix, iy, "Set your ships!", 1, 1, 1, 1);
        renderText(ix, iy + 20, "- use left mouse to set your ships", 1, 1, 1, 0.7f);
        renderText(ix, iy + 40, "- use right mouse to change ship orientation", 1, 1, 1, 0.7f);
        renderText(ix, iy + 60, "- press (S) to automatically set your ships", 1, 1, 1, 0.7f);
    }

    if (error != nullptr) renderStatus(error, true);

    if (!game->secondPlayer->isReady())
        renderStatus(tooSmall, true);
    else if (game->winPlayer != nullptr)
        renderStatus(game->winPlayer == player ? "You win!" : "You lose!", game->winPlayer != player);
}

void Display::renderLabels(Field* field) {
    const int columns = field->w + 1;
    const int rows = field->h + 1;
    const Box area = canvas.area();
    // Only the labels near the clip can reach into it.
    const int firstColumn = std::max(1, static_cast<int>(std::floor(area.left / columnW)) - 2);
    const int lastColumn = std::min(columns - 1, static_cast<int>(std::ceil(area.right / columnW)) + 2);
    const int firstRow = std::max(1, static_cast<int>(std::floor(area.top / rowH)) - 3);
    const int lastRow = std::min(rows - 1, static_cast<int>(std::ceil(area.bottom / rowH)) + 3);
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
    const int columns = field->w + 1;
    const int rows = field->h + 1;
    const float fw = static_cast<float>(width);
    const float fh = static_cast<float>(height);

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

    renderLabels(field);

    const bool overlay = mouseRightHolding && player->isReady() && field == player->myField &&
                         activeField != field;

    // The cells whose drawing may reach the clip: a ship from up to five
    // cells before.
    const Box area = canvas.area();
    const int backX = 5;
    const int backY = 5;
    auto first = [](float edge, float cell, int back) {
        const float k = std::floor(edge / cell) - 1 - static_cast<float>(back);
        return k < 0 ? 0 : (k > 2e9f ? 2000000000 : static_cast<int>(k));
    };
    auto last = [](float edge, float cell, int count) {
        const float k = std::ceil(edge / cell);
        return k < 0 ? -1 : (k >= static_cast<float>(count) ? count - 1 : static_cast<int>(k));
    };
    const int x0 = first(area.left, columnW, backX);
    const int x1 = last(area.right, columnW, field->w);
    const int y0 = first(area.top, rowH, backY);
    const int y1 = last(area.bottom, rowH, field->h);

    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const int get = field->get(x, y);
            Ship* shipGet = field->getShip(x, y);
            float fill[4] = {0.8f, 0.8f, 0.8f, 0.7f};
            float outline[4] = {0.4f, 0.4f, 0.4f, 0.7f};
            if (shipGet != nullptr && shipGet->getCoord() == Coord(x, y)) {
                if (shipGet->isDestroyed()) {
                    const float sunkFill[4] = {0.9f, 0.5f, 0.5f, 0.6f};
                    const float sunkOutline[4] = {0.9f, 0.1f, 0.1f, 0.7f};
                    std::copy(sunkFill, sunkFill + 4, fill);
                    std::copy(sunkOutline, sunkOutline + 4, outline);
                }
                canvas.colour(fill[0], fill[1], fill[2], fill[3]);
                renderShip(shipGet->getSize(), y, x, shipGet->getDirection(), outline[0], outline[1], outline[2],
                           outline[3]);
            }
            if (get == 1)
                renderCross(y, x, 0.4f, 0.4f, 0.4f, 0.7f, 2);
            else if (get == 2)
                renderCross(y, x, 1, 0.2f, 0.2f, 0.9f, 2);
        }
    }
    // The hint overlay lies over the board's cells as one layer.
    if (overlay && overlayInScene) hints.show(canvas);

    canvas.plainLines();
    if (game->winPlayer == nullptr && activeField == field && mouseOn.x >= 0) {
        if (player->isReady()) {
            if (activeField->isHit(mouseOn) == 0) renderSquad(mouseOn.x, mouseOn.y, 1, 0.3f, 0.3f, 0.7f);
        } else {
            Ship* shipToPlace = player->getShipToPlace();
            if (shipToPlace != nullptr) {
                if (player->isShipSetable(shipToPlace, mouseOn, rotated)) {
                    canvas.colour(0.5f, 0.9f, 0.5f, 0.6f);
                    renderShip(shipToPlace->getSize(), mouseOn.y, mouseOn.x, rotated, 0.1f, 0.9f, 0.1f, 0.7f);
                } else {
                    canvas.colour(0.9f, 0.5f, 0.5f, 0.6f);
                    renderShip(shipToPlace->getSize(), mouseOn.y, mouseOn.x, rotated, 0.9f, 0.1f, 0.1f, 0.7f);
                }
            }
        }
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
