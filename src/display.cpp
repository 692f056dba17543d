#include "display.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>

#include "window_identity.h"

Display* Display::thisObj = nullptr;

namespace {

const char* const playError = "Error with: Battleships::play(Player *, Coord)";
const char* const tooSmall = "Field is too small, please expand it!";

// Every vertex is drawn at whole pixels, truncated toward zero.
void vertex(float x, float y) {
    glVertex2i(static_cast<int>(x), static_cast<int>(y));
}

// A rectangle through its four corners, clockwise from the top-left one,
// as a filled quad or an outline.
void rectangle(GLenum mode, float left, float top, float right, float bottom) {
    glBegin(mode);
    vertex(left, top);
    vertex(right, top);
    vertex(right, bottom);
    vertex(left, bottom);
    glEnd();
}

int textWidth(void* font, const std::string& text) {
    int width = 0;
    for (unsigned char c : text) width += glutBitmapWidth(font, c);
    return width;
}

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

namespace {

// The strong blue around the boards.
void clearColour() {
    glClearColor(0.294f, 0.364f, 0.909f, 0.0f);
}

}  // namespace

void Display::glInit() {
    clearColour();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
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

    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, 0, h, -1, 1);
    glScalef(1, -1, 1);
    glTranslatef(0, static_cast<float>(-h), 0);
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

void Display::drawFrame() {
    const bool ready = player->isReady();
    const float tx = fieldSpaceW + columnW / 4;
    const float ty = fieldSpaceH - 13;

    if (glyphRuns.empty()) captureGlyphs();
    glClear(GL_COLOR_BUFFER_BIT);

    renderText(tx, ty - 18, ready ? "Remaining ships:" : "Ships to set:", 1, 1, 1, 0.7f);
    renderText(tx, ty, player->getShipsCount(ready ? 1 : 0).c_str(), 1, 1, 1, 1);

    translate(fieldSpaceW, fieldSpaceH);
    renderField(static_cast<int>(fieldSizeW), static_cast<int>(fieldSizeH), player->myField);
    translate(-fieldSpaceW, -fieldSpaceH);

    renderText(tx, fieldSpaceH + fieldSizeH + 21,
               "Press key to: (N) New game, (Q) Quit game, (F) Fulscreen toggle", 1, 1, 1, 0.5f);

    if (ready) {
        const float ex = fieldSpaceW + fieldSizeW + fieldSpaceWmiddle;
        renderText(ex + columnW / 4, ty - 18, "Ships to destroy:", 1, 1, 1, 0.7f);
        renderText(ex + columnW / 4, ty, game->secondPlayer->getShipsCount(1).c_str(), 1, 1, 1, 1);
        translate(ex, fieldSpaceH);
        renderField(static_cast<int>(fieldSizeW), static_cast<int>(fieldSizeH), player->enemyField);
        translate(-ex, -fieldSpaceH);
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

    glFlush();
    glutSwapBuffers();
}

void Display::renderLabels(Field* field) {
    const int columns = field->w + 1;
    const int rows = field->h + 1;
    for (int k = 1; k < columns; ++k) {
        const std::string label = columnLabel(k);
        const float width = static_cast<float>(textWidth(GLUT_BITMAP_HELVETICA_12, label));
        renderText((columnW - width) / 2 + static_cast<float>(k) * columnW, (rowH + 8.5f) / 2,
                   label.c_str(), 1, 1, 1, 1);
    }
    for (int k = 1; k < rows; ++k) {
        const std::string label = rowLabel(k);
        const float width = static_cast<float>(textWidth(GLUT_BITMAP_HELVETICA_12, label));
        renderText((columnW - width) / 2, static_cast<float>(k) * rowH + (rowH + 8.5f) / 2,
                   label.c_str(), 1, 1, 1, 1);
    }
}

void Display::renderField(int width, int height, Field* field) {
    const int columns = field->w + 1;
    const int rows = field->h + 1;
    const float fw = static_cast<float>(width);
    const float fh = static_cast<float>(height);

    glColor4f(0.99f, 0.99f, 0.99f, 1);
    rectangle(GL_QUADS, 0, 0, fw, fh);

    glColor4f(0.3f, 0.3f, 0.3f, 0.8f);
    rectangle(GL_QUADS, 0, 0, columnW, fh);
    rectangle(GL_QUADS, 0, 0, fw, rowH);

    lineState(1, false);
    glColor4f(0.7f, 0.7f, 0.7f, 1);
    glBegin(GL_LINES);
    for (int k = 0; k <= columns; ++k) {
        vertex(static_cast<float>(k) * columnW, 0);
        vertex(static_cast<float>(k) * columnW, fh);
    }
    for (int k = 0; k <= rows; ++k) {
        vertex(0, static_cast<float>(k) * rowH);
        vertex(fw, static_cast<float>(k) * rowH);
    }
    glEnd();

    renderLabels(field);

    const bool hints = mouseRightHolding && player->isReady() && field == player->myField &&
                       activeField != field;
    Ship* ship2 = hints ? player->getNotDestroyedShipBiggest() : nullptr;
    Player* computer = game->secondPlayer;

    for (int y = 0; y < field->h; ++y) {
        for (int x = 0; x < field->w; ++x) {
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
                glColor4f(fill[0], fill[1], fill[2], fill[3]);
                renderShip(shipGet->getSize(), y, x, shipGet->getDirection(), outline[0], outline[1],
                           outline[2], outline[3]);
            }
            if (get == 1)
                renderCross(y, x, 0.4f, 0.4f, 0.4f, 0.7f, 2);
            else if (get == 2)
                renderCross(y, x, 1, 0.2f, 0.2f, 0.9f, 2);

            if (hints) {
                Coord cell(x, y);
                if (computer->enemyField->isShipTargetable(ship2, cell)) {
                    renderCross(y, x, 0.1f, 0.1f, 0.1f, 0.1f, 3.5f);
                    const std::string score = std::to_string(computer->testSituation(ship2, cell));
                    renderText(static_cast<float>(x + 1) * columnW + 1,
                               static_cast<float>(y + 1) * rowH + 9, score.c_str(), 0, 0, 0, 0.5f);
                }
            }
        }
    }

    lineState(1, false);
    if (game->winPlayer == nullptr && activeField == field && mouseOn.x >= 0) {
        if (player->isReady()) {
            if (activeField->isHit(mouseOn) == 0) renderSquad(mouseOn.x, mouseOn.y, 1, 0.3f, 0.3f, 0.7f);
        } else {
            Ship* shipToPlace = player->getShipToPlace();
            if (shipToPlace != nullptr) {
                if (player->isShipSetable(shipToPlace, mouseOn, rotated)) {
                    glColor4f(0.5f, 0.9f, 0.5f, 0.6f);
                    renderShip(shipToPlace->getSize(), mouseOn.y, mouseOn.x, rotated, 0.1f, 0.9f, 0.1f, 0.7f);
                } else {
                    glColor4f(0.9f, 0.5f, 0.5f, 0.6f);
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

    rectangle(GL_QUADS, left, top, right, bottom);
    lineState(1, false);
    glColor4f(r, g, b, a);
    rectangle(GL_LINE_LOOP, left, top, right, bottom);
}

void Display::renderCross(int i, int j, float r, float g, float b, float a, float divide) {
    const float left = static_cast<float>(j + 1) * columnW;
    const float right = static_cast<float>(j + 2) * columnW;
    const float top = static_cast<float>(i + 1) * rowH;
    const float bottom = static_cast<float>(i + 2) * rowH;
    const float dx = columnOffset * divide;
    const float dy = rowOffset * divide;

    lineState(2, true);
    glColor4f(r, g, b, a);
    glBegin(GL_LINES);
    vertex(left + dx, top + dy);
    vertex(right - dx, bottom - dy);
    vertex(right - dx, top + dy);
    vertex(left + dx, bottom - dy);
    glEnd();
}

void Display::renderCross(int i, int j, float r, float g, float b, float a) {
    renderCross(i, j, r, g, b, a, 2);
}

void Display::renderSquad(int i, int j, float r, float g, float b, float a) {
    glColor4f(r, g, b, a);
    lineState(3, false);
    rectangle(GL_LINE_LOOP, static_cast<float>(i + 1) * columnW, static_cast<float>(j + 1) * rowH,
              static_cast<float>(i + 2) * columnW, static_cast<float>(j + 2) * rowH);
    lineState(1, false);
}

// Setting the line state only when it changes lets the driver join
// neighbouring crosses into one batch.
void Display::lineState(float width, bool smooth) {
    if (width != lineWidth) {
        glLineWidth(width);
        lineWidth = width;
    }
    if (smooth != lineSmooth) {
        if (smooth)
            glEnable(GL_LINE_SMOOTH);
        else
            glDisable(GL_LINE_SMOOTH);
        lineSmooth = smooth;
    }
}

void Display::translate(float x, float y) {
    glTranslatef(x, y, 0);
    originX += x;
    originY += y;
}

// Draws each character once on a black back buffer and reads back which
// pixels its bitmap sets, so that text can later go out as quads in the
// same stream as the lines and quads around it.
void Display::captureGlyphs() {
    const int h = static_cast<int>(windowH);
    if (h < 64 || windowW < 64) return;
    // A raster position a quarter pixel into a whole pixel: its floor is sure.
    const float px = 24.25f;
    const float py = 40.25f;
    const int fx = 24;
    const int fy = h - 41;
    const int size = 48;
    std::vector<unsigned char> pixels(static_cast<size_t>(size) * size * 3);
    glyphRuns.assign(256, {});
    glyphAdvance.assign(256, 0);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int c = 32; c < 127; ++c) {
        glyphAdvance[c] = glutBitmapWidth(GLUT_BITMAP_HELVETICA_12, c);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        glRasterPos2f(px, py);
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, c);
        glReadPixels(fx - size / 2, fy - size / 2, size, size, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        for (int row = 0; row < size; ++row) {
            int start = -1;
            for (int col = 0; col <= size; ++col) {
                const bool set = col < size && pixels[(static_cast<size_t>(row) * size + col) * 3] != 0;
                if (set && start < 0) start = col;
                if (!set && start >= 0) {
                    glyphRuns[c].push_back({start - size / 2, row - size / 2, col - start});
                    start = -1;
                }
            }
        }
    }
    clearColour();
    glEnable(GL_BLEND);
}

// The text's bitmaps as one batch of quads, one per run of pixels they set,
// each covering exactly those pixels, with the raster position's rules: no
// text at all when it lies outside the window, each bitmap at the whole
// pixel below and left of it. Where the raster position lies too near a
// pixel's edge to be sure of that pixel the answer is false, and the caller
// draws the bitmaps themselves. No two characters of the font set one pixel,
// so no pixel is blended twice.
bool Display::renderTextAsQuads(float x, float y, const char* text) {
    if (glyphRuns.empty()) return false;
    for (const char* c = text; *c != '\0'; ++c)
        if (*c < 32 || *c > 126) return false;
    const double margin = 1.0 / 256;
    const double wx = static_cast<double>(x) + originX;
    const double wy = static_cast<double>(windowH) - (static_cast<double>(y) + originY);
    const double fx = std::floor(wx);
    const double fy = std::floor(wy);
    if (wx - fx < margin || fx + 1 - wx < margin || wy - fy < margin || fy + 1 - wy < margin) return false;
    if (wx < 0 || wy < 0 || wx > windowW || wy > windowH) return true;
    glBegin(GL_QUADS);
    double advance = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        const unsigned char code = static_cast<unsigned char>(*c);
        for (const Run& run : glyphRuns[code]) {
            // Window pixels, y upwards, into drawing coordinates.
            const float left = static_cast<float>(fx + advance + run.x - originX);
            const float right = left + static_cast<float>(run.length);
            const float bottom = static_cast<float>(windowH - (fy + run.y) - originY);
            const float top = bottom - 1;
            glVertex2f(left, top);
            glVertex2f(right, top);
            glVertex2f(right, bottom);
            glVertex2f(left, bottom);
        }
        advance += glyphAdvance[code];
    }
    glEnd();
    return true;
}

void Display::renderText(float x, float y, const char* text, float r, float g, float b, float a) {
    // Quads get the colour on the window's 8-bit grid: Mesa's fast path for
    // plain rectangles truncates 0.5 to 127 where its general path, and so
    // the bitmaps, round it to 128; from the grid both agree. Translucent
    // white text keeps its bitmaps: as quads it draws alike, but the bitmaps
    // end the renderer's batch, so its threads start on the first board while
    // the second is built, which halves the 100 x 100 frame.
    if (a >= 1 || (r == 0 && g == 0 && b == 0)) {
        auto grid = [](float c) { return static_cast<float>(std::round(static_cast<double>(c) * 255) / 255); };
        glColor4f(grid(r), grid(g), grid(b), grid(a));
        if (renderTextAsQuads(x, y, text)) return;
    }
    glColor4f(r, g, b, a);

    // The font's characters compiled once: the same bitmaps, far cheaper to
    // draw by the thousand.
    if (glyphLists == 0) {
        glyphLists = glGenLists(256);
        for (int c = 1; c < 256; ++c) {
            glNewList(glyphLists + c, GL_COMPILE);
            glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, c);
            glEndList();
        }
    }
    glRasterPos2f(x, y);
    for (const char* c = text; *c != '\0'; ++c)
        glCallList(glyphLists + static_cast<unsigned char>(*c));
}

void Display::renderStatus(const char* text, bool warning) {
    const int size = textWidth(GLUT_BITMAP_TIMES_ROMAN_24, text);
    const float s = static_cast<float>(size);
    const float cx = (windowW - s) / 2;
    const float cy = windowH / 2;

    if (warning)
        glColor4f(232 / 255.0f, 93 / 255.0f, 75 / 255.0f, 0.7f);
    else
        glColor4f(75 / 255.0f, 93 / 255.0f, 232 / 255.0f, 0.7f);
    rectangle(GL_QUADS, cx - 100, cy - 80, cx + s + 100, cy + 70);

    glColor4f(1, 1, 1, 1);
    rectangle(GL_QUADS, cx - 60, cy - 50, cx + s + 60, cy + 40);

    glColor4f(0, 0, 0, 1);
    glRasterPos2f(cx, cy + 3);
    for (const char* c = text; *c != '\0'; ++c)
        glutBitmapCharacter(GLUT_BITMAP_TIMES_ROMAN_24, static_cast<unsigned char>(*c));
}
