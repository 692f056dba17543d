#include "present_check.h"

// The game's own build: frames go on the window unexamined.
void checkPresent(Canvas&, const std::function<void()>&, const std::vector<Box>&) {}
