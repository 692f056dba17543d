#ifndef BATTLESHIPS_PRESENT_CHECK_H
#define BATTLESHIPS_PRESENT_CHECK_H

#include <functional>
#include <vector>

#include "canvas.h"

// A look at the back buffer just before it goes on the window, in boxes
// (parts) or whole (parts empty). The game links one that does nothing; a
// test build links one that compares it with drawWhole's frame.
void checkPresent(Canvas& canvas, const std::function<void()>& drawWhole, const std::vector<Box>& parts);

#endif
