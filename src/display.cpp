#include "display.h"

#include <GL/freeglut.h>

#include <iostream>
#include <utility>
#include <vector>

#include "window_identity.h"

Display* Display::thisObj = nullptr;
const char* const Display::keyHelp = "Press key to: (N) New game, (Q) Quit game, (F) Fulscreen toggle";

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
