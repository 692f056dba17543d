#ifndef BATTLESHIPS_PRESENTER_H
#define BATTLESHIPS_PRESENTER_H

// Putting a frame from the back buffer on the window: whole by a swap, or
// in boxes by a copy, and watching the window's own events to know whether
// it still shows the last frame.

#include <functional>
#include <utility>
#include <vector>

#include "box.h"
#include "view.h"

class Canvas;

class Presenter {
public:
    // Presents frames of the view's size.
    explicit Presenter(const View& view) : view(view) {}
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;
    // Lets go of the window connection it opened for itself.
    ~Presenter();

    // Once per frame: whether the window still shows the last frame shown
    // and can take part of one; false when the frame must be whole.
    bool canRedrawPart();
    // How to draw the whole frame of the current state, for the present
    // hook to compare what goes on the window with.
    void wholeFrame(std::function<void()> draw) { drawWhole = std::move(draw); }
    // Shows the whole frame; the canvas is what the present hook looks at.
    void showAll(Canvas& canvas);
    // Shows only these boxes of the frame drawn in the back buffer.
    void showParts(Canvas& canvas, const std::vector<Box>& boxes);

private:
    void openWatch();
    bool windowChanged();
    bool bufferFitsLayout();

    const View& view;
    // The window's own events, seen on a connection of its own: whether it
    // lost what it showed since the last frame.
    void* watchDisplay = nullptr;
    void (*copySubBuffer)(void*, unsigned long, int, int, int, int) = nullptr;
    bool watchTried = false;
    // The back buffer may hold less than the last frame: the next is whole.
    bool lost = false;
    bool redrawnUnfit = false;
    std::function<void()> drawWhole;
};

#endif
