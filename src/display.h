#ifndef BATTLESHIPS_DISPLAY_H
#define BATTLESHIPS_DISPLAY_H

#include <vector>

#include "battleships.h"
#include "coord.h"
#include "field.h"
#include "player.h"

// The game's only window: lays out the human's own board (left) and record
// board (right), turns mouse and keys into calls on the controller, and draws
// the frame. Holds the screen state only; it owns nothing.
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

    // Blending and the colour around the boards, for the whole run.
    void glInit();
    // Window of screen size / 1.2, centred, 20 pixels above the middle.
    void reshape();
    // The cell of the board under window pixel (x, y), or null; chooses the
    // board the pointer works on (own board while placing, record after).
    Coord getPosition(int x, int y);

    void renderStatus(const char* text, bool warning);
    void renderField(int width, int height, Field* field);
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

private:
    void drawFrame();
    void layout(int w, int h);
    void mouse(int button, int state, int x, int y);
    void keyboard(unsigned char key, int x, int y);
    void renderLabels(Field* field);
    void lineState(float width, bool smooth);
    void captureGlyphs();
    bool renderTextAsQuads(float x, float y, const char* text);
    void translate(float x, float y);

    Battleships* game;
    Player* player;
    Field* activeField;
    Coord mouseOn;
    bool mouseRightHolding;
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

    // OpenGL state as last set, and the font's compiled characters.
    float lineWidth = 1;
    bool lineSmooth = false;
    unsigned glyphLists = 0;
    // The drawing origin's offset from the window's top-left corner.
    float originX = 0;
    float originY = 0;
    // Per character of the text font: the runs of window pixels its bitmap
    // sets along a row (first pixel relative to the whole pixel of the raster
    // position, y upwards, and length), and how far the raster position moves.
    struct Run {
        int x, y, length;
    };
    std::vector<std::vector<Run>> glyphRuns;
    std::vector<int> glyphAdvance;
};

#endif
