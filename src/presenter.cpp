#include "presenter.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstring>

#include "present_check.h"

Presenter::~Presenter() {
    if (watchDisplay != nullptr) XCloseDisplay(static_cast<::Display*>(watchDisplay));
}

// The window's Expose events reach GLUT, which only asks for a redraw; a
// connection of our own sees them too, so a frame knows whether the window
// still shows the last one.
void Presenter::openWatch() {
    watchTried = true;
    ::Display* glut = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (glut == nullptr || window == 0) return;
    const char* extensions = glXQueryExtensionsString(glut, DefaultScreen(glut));
    if (extensions == nullptr || std::strstr(extensions, "GLX_MESA_copy_sub_buffer") == nullptr) return;
    auto copy = reinterpret_cast<void (*)(::Display*, GLXDrawable, int, int, int, int)>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
    if (copy == nullptr) return;
    ::Display* watch = XOpenDisplay(DisplayString(glut));
    if (watch == nullptr) return;
    XSelectInput(watch, window, ExposureMask | StructureNotifyMask);
    XSync(watch, False);
    watchDisplay = watch;
    copySubBuffer = reinterpret_cast<void (*)(void*, unsigned long, int, int, int, int)>(copy);
}

bool Presenter::canRedrawPart() {
    if (!watchTried) {
        openWatch();
        // The first frame has nothing to keep.
        return false;
    }
    // The probe comes first: it makes the renderer take up the window's
    // size now, should it be due to.
    const bool fits = bufferFitsLayout();
    const bool kept = watchDisplay != nullptr && !windowChanged() && fits && !lost;
    lost = false;
    return kept;
}

// Events of the window since the last look: whether it lost what it showed
// (covered, resized, mapped anew).
bool Presenter::windowChanged() {
    ::Display* watch = static_cast<::Display*>(watchDisplay);
    // After the round trip every event the server sent before it is queued.
    XSync(watch, False);
    bool changed = false;
    while (XPending(watch) > 0) {
        XEvent event;
        XNextEvent(watch, &event);
        if (event.type == Expose || event.type == ConfigureNotify || event.type == MapNotify) changed = true;
    }
    return changed;
}

// Whether the back buffer has the size the layout was made for. Pixels read
// from outside the buffer are left as they were in the reader's memory.
bool Presenter::bufferFitsLayout() {
    const int w = static_cast<int>(view.windowW), h = static_cast<int>(view.windowH);
    glReadBuffer(GL_BACK);
    auto inside = [](int x, int y) {
        GLfloat pixel[4] = {-1, -1, -1, -1};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, pixel);
        return pixel[0] >= 0;
    };
    // Mesa clips a read to the buffer as it was before the read makes the
    // renderer take up the window's size: a first read of a pixel every
    // buffer has lets the others be clipped to the buffer they read.
    inside(0, 0);
    return inside(w - 1, h - 1) && !inside(w, 0) && !inside(0, h);
}

void Presenter::showAll(Canvas& canvas) {
    if (PresentCheck check = presentCheck()) check(canvas, drawWhole, {});
    // Mesa's software renderer takes up the window's new size only at a
    // swap: a frame drawn after a part frame and a resize went into the
    // buffer of the old size. This swap makes the buffer anew, empty, and
    // the frame is drawn once more into it, at once but only once, lest a
    // renderer this probe misreads redraw for ever.
    const bool fits = bufferFitsLayout();
    glFlush();
    glutSwapBuffers();
    if (!fits) {
        lost = true;
        if (!redrawnUnfit) glutPostRedisplay();
    }
    redrawnUnfit = !fits;
}

void Presenter::showParts(Canvas& canvas, const std::vector<Box>& boxes) {
    // The window changed while the boxes were drawn: the renderer may have
    // made its buffer anew under them. Nothing goes on the window; a whole
    // frame follows.
    if (!bufferFitsLayout() || windowChanged()) {
        lost = true;
        glutPostRedisplay();
        return;
    }
    if (PresentCheck check = presentCheck()) check(canvas, drawWhole, boxes);
    // The copy takes the back buffer as it is: the renderer's threads must
    // have finished with it.
    glFinish();
    for (const Box& box : boxes) {
        const PixelBox r = view.windowPixels(box);
        if (r.w > 0 && r.h > 0) copySubBuffer(glXGetCurrentDisplay(), glXGetCurrentDrawable(), r.x, r.y, r.w, r.h);
    }
}
