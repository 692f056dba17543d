// Prints which pixels texts set when drawn in a GLUT bitmap font, so the
// window tests can compare them with the game's screen:
//   text_mask helvetica12|times24 TEXT...
// Per text: "advance left top columns rows", then the rows, '#' where the
// text sets the pixel, '.' elsewhere. Columns count from the raster
// position's pixel, rows from its baseline row, downwards. The window stands
// at the screen's bottom-left corner, off the game's window.

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int kW = 1200;
const int kH = 80;
// Raster pixel: column 20, row 30 from the bottom.
const int kX = 20;
const int kY = 30;

void* font = GLUT_BITMAP_HELVETICA_12;
std::vector<std::string> texts;

void draw() {
    std::vector<unsigned char> pixels(static_cast<size_t>(kW) * kH);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    for (const std::string& text : texts) {
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
        glRasterPos2f(kX + 0.5f, kY + 0.5f);
        int advance = 0;
        for (unsigned char c : text) {
            glutBitmapCharacter(font, c);
            advance += glutBitmapWidth(font, c);
        }
        glReadPixels(0, 0, kW, kH, GL_RED, GL_UNSIGNED_BYTE, pixels.data());
        // Bounds in rows from the top.
        int left = kW, right = -1, top = kH, bottom = -1;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (pixels[static_cast<size_t>(kH - 1 - y) * kW + x] != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        if (right < 0) {
            std::printf("%d 0 0 0 0\n", advance);
            continue;
        }
        const int baseline = kH - 1 - kY;
        std::printf("%d %d %d %d %d\n", advance, left - kX, top - baseline, right - left + 1, bottom - top + 1);
        for (int y = top; y <= bottom; ++y) {
            std::string row;
            for (int x = left; x <= right; ++x)
                row += pixels[static_cast<size_t>(kH - 1 - y) * kW + x] != 0 ? '#' : '.';
            std::printf("%s\n", row.c_str());
        }
    }
    std::fflush(stdout);
    std::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: text_mask helvetica12|times24 TEXT...\n");
        return 2;
    }
    if (std::strcmp(argv[1], "times24") == 0)
        font = GLUT_BITMAP_TIMES_ROMAN_24;
    else if (std::strcmp(argv[1], "helvetica12") != 0)
        return 2;
    for (int i = 2; i < argc; ++i) texts.emplace_back(argv[i]);

    int glutArgc = 1;
    char name[] = "text_mask";
    char* glutArgv[] = {name, nullptr};
    glutInit(&glutArgc, glutArgv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
    glutInitWindowSize(kW, kH);
    glutInitWindowPosition(0, glutGet(GLUT_SCREEN_HEIGHT) - kH);
    glutCreateWindow("text mask");
    glViewport(0, 0, kW, kH);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kW, 0, kH, -1, 1);
    glClearColor(0, 0, 0, 1);
    glutDisplayFunc(draw);
    glutMainLoop();
    return 0;
}
