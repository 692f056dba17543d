#include "key_state.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cctype>

bool keyDownNow(unsigned char character) {
    ::Display* display = glXGetCurrentDisplay();
    if (display == nullptr) return false;
    // Latin-1 characters are their own keysyms.
    const KeyCode code = XKeysymToKeycode(display, static_cast<KeySym>(std::tolower(character)));
    if (code == 0) return false;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    return (keys[code / 8] & (1 << (code % 8))) != 0;
}
