#ifndef BATTLESHIPS_PRESENT_CHECK_H
#define BATTLESHIPS_PRESENT_CHECK_H

// The hook that sees the back buffer just before it goes on the window: none
// in the game; a test build sets one that compares it with a whole frame.

#include <functional>
#include <vector>

#include "box.h"

class Canvas;

// A look at the back buffer about to be presented, in boxes (parts) or whole
// (parts empty); drawWhole draws the whole frame of the same state.
using PresentCheck = void (*)(Canvas& canvas, const std::function<void()>& drawWhole, const std::vector<Box>& parts);

// Sets the look taken before every present; null takes none.
void setPresentCheck(PresentCheck check);

// The look set, null where none is.
PresentCheck presentCheck();

#endif
