#include "window_identity.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <climits>
#include <vector>

#include "window_icon.h"

void identifyWindowToDesktop() {
    ::Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == None) return;

    // The menu entry's StartupWMClass names the class; the instance is what
    // resource files and rules of window managers match.
    char name[] = "battleships";
    char className[] = "Battleships";
    XClassHint hint{name, className};
    XSetClassHint(display, window, &hint);

    // A pid means something only together with the machine it runs on.
    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, sizeof host - 1) == 0 && host[0] != '\0') {
        char* hosts[] = {host};
        XTextProperty machine{};
        if (XStringListToTextProperty(hosts, 1, &machine) != 0) {
            XSetWMClientMachine(display, window, &machine);
            XFree(machine.value);
        }
        const long pid = static_cast<long>(getpid());
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    }

    // Xlib takes 32-bit items of a property as longs.
    const std::vector<long> icon(windowIcon, windowIcon + windowIconLength);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(icon.data()),
                    static_cast<int>(icon.size()));
    XFlush(display);
}
