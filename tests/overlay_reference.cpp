// Draws the hint overlay the plain way, cell by cell (cross, then number),
// over a picture of the game's window, and compares the game's own overlay
// frame with it, for the window tests:
//   overlay_reference PLAIN.ppm OVERLAY.ppm SPACE_W SPACE_H COLUMN_W ROW_H CELLS_W CELLS_H SCORE
// Every cell shows SCORE (as on a board nothing was shot at yet). Prints
// "differ MAX COUNT changed C outside N lighter L": the largest channel
// difference from the plain drawing and the pixels differing, the pixels
// the game's overlay changed at all, those it changed outside the pixels the
// plain drawing touches, and those it made lighter.

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int w = 0, h = 0;
std::vector<unsigned char> plain, overlay;
float spaceW, spaceH, columnW, rowH;
int cellsW, cellsH;
std::string score;

// Binary PPM, rows from the top.
bool readPpm(const char* path, std::vector<unsigned char>& rgb) {
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    int max = 0;
    const bool ok = std::fscanf(f, "P6 %d %d %d", &w, &h, &max) == 3 && std::fgetc(f) != EOF;
    rgb.resize(static_cast<size_t>(w) * h * 3);
    const bool read = ok && std::fread(rgb.data(), 1, rgb.size(), f) == rgb.size();
    std::fclose(f);
    return read;
}

// The overlay in the board's own order: per cell, a smoothed cross over its
// middle eighth, then its number; in the given colours.
void drawOverlay(float crossGrey, float crossAlpha, float textGrey, float textAlpha) {
    glPushMatrix();
    glTranslatef(spaceW, spaceH, 0);
    const float dx = columnW / 8 * 3.5f, dy = rowH / 8 * 3.5f;
    for (int y = 0; y < cellsH; ++y)
        for (int x = 0; x < cellsW; ++x) {
            const float left = static_cast<float>(x + 1) * columnW, top = static_cast<float>(y + 1) * rowH;
            const float right = static_cast<float>(x + 2) * columnW, bottom = static_cast<float>(y + 2) * rowH;
            glEnable(GL_LINE_SMOOTH);
            glLineWidth(2);
            glColor4f(crossGrey, crossGrey, crossGrey, crossAlpha);
            glBegin(GL_LINES);
            glVertex2i(static_cast<int>(left + dx), static_cast<int>(top + dy));
            glVertex2i(static_cast<int>(right - dx), static_cast<int>(bottom - dy));
            glVertex2i(static_cast<int>(right - dx), static_cast<int>(top + dy));
            glVertex2i(static_cast<int>(left + dx), static_cast<int>(bottom - dy));
            glEnd();
            glLineWidth(1);
            glDisable(GL_LINE_SMOOTH);
            glColor4f(textGrey, textGrey, textGrey, textAlpha);
            glRasterPos2f(left + 1, top + 9);
            for (const char c : score) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, c);
        }
    glPopMatrix();
}

// The picture drawn so far, rows from the top.
std::vector<unsigned char> readBack() {
    std::vector<unsigned char> up(static_cast<size_t>(w) * h * 3), down(up.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, up.data());
    for (int y = 0; y < h; ++y)
        std::copy_n(&up[static_cast<size_t>(h - 1 - y) * w * 3], w * 3, &down[static_cast<size_t>(y) * w * 3]);
    return down;
}

void draw() {
    // The plain picture, pixel for pixel.
    std::vector<unsigned char> up(plain.size());
    for (int y = 0; y < h; ++y)
        std::copy_n(&plain[static_cast<size_t>(h - 1 - y) * w * 3], w * 3, &up[static_cast<size_t>(y) * w * 3]);
    glDisable(GL_BLEND);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, w, 0, h, -1, 1);
    glRasterPos2i(0, 0);
    glPopMatrix();
    glDrawPixels(w, h, GL_RGB, GL_UNSIGNED_BYTE, up.data());
    glEnable(GL_BLEND);
    drawOverlay(0.1f, 0.1f, 0, 0.5f);
    const std::vector<unsigned char> reference = readBack();
    // Every pixel the overlay touches at all, in white on black.
    glClear(GL_COLOR_BUFFER_BIT);
    drawOverlay(1, 1, 1, 1);
    const std::vector<unsigned char> touched = readBack();

    int most = 0;
    long differ = 0, changed = 0, outside = 0, lighter = 0;
    for (size_t p = 0; p < plain.size(); p += 3) {
        bool d = false, o = false, l = false, n = false;
        for (size_t c = p; c < p + 3; ++c) {
            const int diff = std::abs(overlay[c] - reference[c]);
            most = std::max(most, diff);
            d = d || diff != 0;
            o = o || (overlay[c] != plain[c] && touched[p] == 0 && touched[p + 1] == 0 && touched[p + 2] == 0);
            l = l || overlay[c] > plain[c];
            n = n || overlay[c] != plain[c];
        }
        differ += d;
        outside += o;
        lighter += l;
        changed += n;
    }
    std::printf("differ %d %ld changed %ld outside %ld lighter %ld\n", most, differ, changed, outside, lighter);
    std::fflush(stdout);
    std::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    int ow = 0, oh = 0;
    if (argc != 10 || !readPpm(argv[2], overlay)) return 2;
    ow = w;
    oh = h;
    if (!readPpm(argv[1], plain) || w != ow || h != oh) return 2;
    spaceW = std::strtof(argv[3], nullptr);
    spaceH = std::strtof(argv[4], nullptr);
    columnW = std::strtof(argv[5], nullptr);
    rowH = std::strtof(argv[6], nullptr);
    cellsW = std::atoi(argv[7]);
    cellsH = std::atoi(argv[8]);
    score = argv[9];

    int glutArgc = 1;
    char name[] = "overlay_reference";
    char* glutArgv[] = {name, nullptr};
    glutInit(&glutArgc, glutArgv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
    glutInitWindowSize(w, h);
    glutCreateWindow("overlay reference");
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, 0, h, -1, 1);
    glScalef(1, -1, 1);
    glTranslatef(0, static_cast<float>(-h), 0);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0, 0, 0, 1);
    glutDisplayFunc(draw);
    glutMainLoop();
    return 0;
}
