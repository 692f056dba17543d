#include "display.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "key_state.h"

// The pointer, its buttons and the keys, turned into calls on the controller
// and into the cursor (`mouseOn`) that the pointer and the keys share.

namespace {

const char* const playError = "Error with: Battleships::play(Player *, Coord)";

}  // namespace

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
