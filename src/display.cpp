#include "display.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>

#include "key_state.h"
#include "window_identity.h"

Display* Display::thisObj = nullptr;
const char* const Display::keyHelp = "Press key to: (N) New game, (Q) Quit game, (F) Fulscreen toggle";

namespace {

const char* const playError = "Error with: Battleships::play(Player *, Coord)";

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
    glutSpecialFunc(onSpecial);
    glutKeyboardUpFunc(onKeyboardUp);

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
    frames.wholeDue();
}

Field* Display::boardInUse() const {
    return player->isReady() ? player->enemyField : player->myField;
}

Coord Display::getPosition(int x, int y) {
    activeField = boardInUse();
    const float left = player->isReady()
                           ? fieldSpaceWmiddle + static_cast<float>(static_cast<int>(fieldSizeW + fieldSpaceW))
                           : fieldSpaceW;
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
    self->keysOwnCursor = false;
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
    keysOwnCursor = false;
    frames.cellsMayHaveChanged();
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
    const bool finished = game->winPlayer != nullptr;
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
    // The right button's and the left button's work, on the cursor; ignored
    // after a win as the buttons are.
    case 'R':
    case 'r':
        if (finished) return;
        if (!player->isReady()) rotated = !rotated;
        followCursor(x, y);
        refresh();
        return;
    case 'H':
    case 'h':
        if (finished) return;
        hintKeyHolding = true;
        followCursor(x, y);
        refresh();
        return;
    case '\r':
    case ' ':
        if (!finished) actOnCursor(x, y);
        return;
    default:
        break;
    }
    layout(static_cast<int>(windowW), static_cast<int>(windowH));
    // A key may change the phase, the boards or their size: the board and
    // the cursor are found anew.
    followCursor(x, y);
    refresh();
}

// The cursor after a key that does not move it: under the pointer, as a
// pointer movement would put it, while the pointer owns it; else where the
// keys left it, on the board now in use.
void Display::followCursor(int x, int y) {
    if (keysOwnCursor)
        keepCursorOnBoard();
    else
        mouseOn = getPosition(x, y);
}

// The keys take the cursor from wherever it is; false when no cell was
// under it, and it starts on the board's first cell.
bool Display::takeCursor(int x, int y) {
    followCursor(x, y);
    keysOwnCursor = true;
    if (!mouseOn.isNull()) return true;
    mouseOn = Coord(0, 0);
    keepCursorOnBoard();
    return false;
}

// A new game or the battle's start may change the board and its size.
void Display::keepCursorOnBoard() {
    activeField = boardInUse();
    if (mouseOn.isNull()) return;
    if (activeField->w <= 0 || activeField->h <= 0) {
        mouseOn.null();
        return;
    }
    mouseOn = Coord(std::clamp(mouseOn.x, 0, activeField->w - 1), std::clamp(mouseOn.y, 0, activeField->h - 1));
}

// Enter and space: a left click on the cursor's cell. The cursor stays,
// so the next ship's preview stands where the last one went; with no cell
// under it, the key only shows where it starts.
void Display::actOnCursor(int x, int y) {
    if (takeCursor(x, y)) {
        frames.cellsMayHaveChanged();
        if (!player->isReady()) {
            Ship* shipToPlace = player->getShipToPlace();
            if (shipToPlace != nullptr) player->setShip(shipToPlace, mouseOn, rotated);
            keepCursorOnBoard();
        } else if (!game->play(player, mouseOn)) {
            error = playError;
        }
    }
    refresh();
}

void Display::onSpecial(int key, int x, int y) {
    thisObj->special(key, x, y);
}

// Arrows move the cursor one cell and stop at the edges; Home and End go
// to the row's ends, Page Up and Page Down to the column's. Other special
// keys (Shift among them) do nothing.
void Display::special(int key, int x, int y) {
    if (error != nullptr) return;
    switch (key) {
    case GLUT_KEY_LEFT:
    case GLUT_KEY_RIGHT:
    case GLUT_KEY_UP:
    case GLUT_KEY_DOWN:
    case GLUT_KEY_HOME:
    case GLUT_KEY_END:
    case GLUT_KEY_PAGE_UP:
    case GLUT_KEY_PAGE_DOWN:
        break;
    default:
        return;
    }
    const Coord before = mouseOn;
    Field* const boardBefore = activeField;
    if (takeCursor(x, y)) {
        switch (key) {
        case GLUT_KEY_LEFT: --mouseOn.x; break;
        case GLUT_KEY_RIGHT: ++mouseOn.x; break;
        case GLUT_KEY_UP: --mouseOn.y; break;
        case GLUT_KEY_DOWN: ++mouseOn.y; break;
        case GLUT_KEY_HOME: mouseOn.x = 0; break;
        case GLUT_KEY_END: mouseOn.x = activeField->w - 1; break;
        case GLUT_KEY_PAGE_UP: mouseOn.y = 0; break;
        case GLUT_KEY_PAGE_DOWN: mouseOn.y = activeField->h - 1; break;
        }
        keepCursorOnBoard();
    }
    if (mouseOn != before || activeField != boardBefore) refresh();
}

// H let go, not only repeated, takes the overlay away, also after a win or
// an error: it shows only while H is held.
void Display::onKeyboardUp(unsigned char key, int, int) {
    if ((key != 'H' && key != 'h') || !thisObj->hintKeyHolding || keyDownNow(key)) return;
    thisObj->hintKeyHolding = false;
    thisObj->refresh();
}

void Display::onDisplay() {
    thisObj->drawFrame();
}

// Draws what changed since the window last showed a frame, or the whole
// frame when the window lost what it showed or anything is unsure. A part
// is drawn exactly as the whole frame draws it, under a clip.
void Display::drawFrame() {
    const bool kept = canvas.canRedrawPart();
    Shown now = look(frames.cellsDue(kept));
    std::vector<Box> boxes;
    const bool part = frames.next(std::move(now), kept, frameLayout(), boxes);
    if (part && boxes.empty()) return;
    if (frames.shown().overlay) {
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
        frames.drewWhole();
        return;
    }
    // The boxes go on the window together, once the back buffer holds the
    // whole frame: some presentations put all of it there, whatever the box.
    for (const Box& box : boxes) drawBox(box);
    canvas.clip(Box());
    canvas.showParts(boxes);
}

// The hint overlay shows over the own board while the right button or H is
// held in battle with the pointer off that board.
bool Display::overlayHeld() const {
    return (mouseRightHolding || hintKeyHolding) && player->isReady() && activeField != player->myField;
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

// One box of a frame drawn into the back buffer, and nothing outside it,
// as the frame tracking plans it.
void Display::drawBox(const Box& box) {
    const Box overlay = hints.box().cut(Box{0, 0, windowW, windowH});
    canvas.clip(box);
    const FrameTracker::BoxWork work = frames.plan(box, overlay, overlayOnTop());
    switch (work) {
    case FrameTracker::BoxWork::drawPlainThenLayOverlay:
        overlayInScene = false;
        drawScene();
        overlayInScene = true;
        [[fallthrough]];
    case FrameTracker::BoxWork::layOverlay:
        canvas.keepPixels(box);
        hints.show(canvas);
        break;
    case FrameTracker::BoxWork::putBackPlain:
        canvas.putBackPixels(hints.cover());
        break;
    case FrameTracker::BoxWork::scene:
        drawScene();
        break;
    }
    frames.drawn(work, box, overlay);
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
    at.width = windowW;
    at.height = windowH;
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
