#ifndef BATTLESHIPS_DISPLAY_H
#define BATTLESHIPS_DISPLAY_H

#include <vector>

#include "battleships.h"
#include "canvas.h"
#include "coord.h"
#include "field.h"
#include "frame_changes.h"
#include "hint_layer.h"
#include "player.h"

// The game's only window: lays out the human's own board (left) and record
// board (right), turns mouse and keys into calls on the controller, and draws
// the frame. Holds the screen state only; it owns none of the game's objects.
class Display {
public:
    // Opens the window for the controller's current game.
    explicit Display(Battleships* battleships);
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Prints "Rendering game..." and runs the event loop; never returns.
    void start();
    // Asks for a redraw; the frame is drawn later by onDisplay.
    void refresh();

protected:
    static Display* thisObj;
    // The line of keys under the own board.
    static const char* const keyHelp;

    // Blending and the colour around the boards, for the whole run.
    void glInit();
    // Window of screen size / 1.2, centred, 20 pixels above the middle.
    void reshape();
    // The cell of the board under window pixel (x, y), or null; chooses the
    // board the pointer works on (own board while placing, record after).
    Coord getPosition(int x, int y);

    void renderStatus(const char* text, bool warning);
    void renderField(int width, int height, Field* field);
    void renderGrid(float fw, float fh, int columns, int rows);
    void renderCells(Field* field);
    void renderPlacedShip(Ship* ship, int x, int y);
    void renderMark();
    void renderShip(int get, int i, int j, bool rotate, float r, float g, float b, float a);
    void renderCross(int i, int j, float r, float g, float b, float a, float divide);
    void renderCross(int i, int j, float r, float g, float b, float a);
    void renderSquad(int i, int j, float r, float g, float b, float a);
    void renderText(float x, float y, const char* text, float r, float g, float b, float a);

    static void onDisplay();
    static void onResize(int w, int h);
    static void onMouseMotion(int x, int y);
    static void onMouse(int button, int state, int x, int y);
    static void onKeyboard(unsigned char key, int x, int y);
    static void onSpecial(int key, int x, int y);
    static void onKeyboardUp(unsigned char key, int x, int y);

private:
    void drawFrame();
    void drawScene();
    void layout(int w, int h);
    void mouse(int button, int state, int x, int y);
    void keyboard(unsigned char key, int x, int y);
    void special(int key, int x, int y);
    Field* boardInUse() const;
    void followCursor(int x, int y);
    bool takeCursor(int x, int y);
    void keepCursorOnBoard();
    void actOnCursor(int x, int y);
    void renderLabels(Field* field);
    void renderPlacingHelp();
    bool takeHints();
    bool overlayOnTop() const;
    bool overlayHeld() const;
    void drawBox(const Box& box);

    Shown look(bool cells);
    void lookAtMark(Shown& s) const;
    FrameLayout frameLayout() const;
    float recordLeft() const { return fieldSpaceW + fieldSizeW + fieldSpaceWmiddle; }

    Battleships* game;
    Player* player;
    Field* activeField;
    Coord mouseOn;
    bool mouseRightHolding;
    // The keys moved or used the cursor last, so that no key puts it back
    // under the pointer until the pointer moves.
    bool keysOwnCursor = false;
    // H held: the overlay, as with the right button.
    bool hintKeyHolding = false;
    bool fullscreen;
    bool rotated;
    const char* error;

    float windowW = 0;
    float windowH = 0;
    float fieldSizeW = 0;
    float fieldSizeH = 0;
    float fieldSpaceW = 0;
    float fieldSpaceWmiddle = 0;
    float fieldSpaceH = 0;
    float columnW = 0;
    float rowH = 0;
    float columnOffset = 0;
    float rowOffset = 0;

    Canvas canvas;
    HintLayer hints;
    // What the hints were last read from: the computer's record board as it
    // was and the ship they are for.
    unsigned long long hintSerial = 0, hintRevision = 0;
    Ship* hintShip = nullptr;
    int hintShipSize = 0;
    bool hintsRead = false;
    // The overlay is drawn with the own board (false while the board is
    // drawn for the overlay to be laid over everything).
    bool overlayInScene = true;
    FrameTracker frames;
};

#endif
