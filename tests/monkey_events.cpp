#include "monkey_events.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <sstream>
#include <thread>

namespace monkey {

namespace {

// How many numbers each kind takes.
const std::map<std::string, size_t>& arities() {
    static const std::map<std::string, size_t> table = {
        {"move", 2},  {"press", 1}, {"release", 1}, {"key", 0},     {"keydown", 0}, {"keyup", 0},
        {"resize", 2}, {"place", 2}, {"unmap", 0},   {"map", 0},     {"cover", 4},   {"uncover", 0},
        {"wait", 1}};
    return table;
}

::Display* dpy(void* display) {
    return static_cast<::Display*>(display);
}

// The top-level window named as the game names its own, or 0.
Window findNamed(::Display* d, Window under, const char* name) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(d, under, &root, &parent, &children, &count) == 0) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        char* title = nullptr;
        if (XFetchName(d, children[i], &title) != 0 && title != nullptr) {
            if (std::strcmp(title, name) == 0) found = children[i];
            XFree(title);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

// The game may end, and its window go, at any event: what then fails is
// no error of the sender's.
int ignoreErrors(::Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

bool aboutKey(const Event& event) {
    return event.kind == "key" || event.kind == "keydown" || event.kind == "keyup";
}

std::string format(const Event& event) {
    std::string line = event.kind;
    if (aboutKey(event)) return line + " " + event.key;
    for (int n : event.args) line += " " + std::to_string(n);
    return line;
}

bool parse(const std::string& line, Event& event) {
    std::istringstream in(line);
    Event e;
    if (!(in >> e.kind)) return false;
    const auto kind = arities().find(e.kind);
    if (kind == arities().end()) return false;
    if (aboutKey(e)) {
        if (!(in >> e.key)) return false;
        for (const char c : e.key)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    }
    for (size_t i = 0; i < kind->second; ++i) {
        int n = 0;
        if (!(in >> n)) return false;
        e.args.push_back(n);
    }
    std::string rest;
    if (in >> rest) return false;
    event = e;
    return true;
}

bool readScript(const std::string& text, Script& script, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    Script s;
    bool header = false;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        if (!header) {
            std::istringstream words(line);
            std::string word;
            words >> word;
            if (word != "game") {
                error = "line " + std::to_string(number) + ": the list must start with \"game\" and its arguments";
                return false;
            }
            while (words >> word) s.gameArgs.push_back(word);
            header = true;
            continue;
        }
        Event e;
        if (!parse(line, e)) {
            error = "line " + std::to_string(number) + ": not an event: " + line;
            return false;
        }
        s.events.push_back(e);
    }
    if (!header) {
        error = "no \"game\" line";
        return false;
    }
    script = s;
    return true;
}

Sender::Sender(const std::string& display) {
    display_ = XOpenDisplay(display.c_str());
    XSetErrorHandler(ignoreErrors);
}

Sender::~Sender() {
    if (display_ == nullptr) return;
    if (cover_ != 0) XDestroyWindow(dpy(display_), cover_);
    XCloseDisplay(dpy(display_));
}

bool Sender::findWindow(std::chrono::milliseconds timeout) {
    if (display_ == nullptr) return false;
    const auto end = std::chrono::steady_clock::now() + timeout;
    ::Display* d = dpy(display_);
    while (std::chrono::steady_clock::now() < end) {
        window_ = findNamed(d, DefaultRootWindow(d), "Battleship game");
        XWindowAttributes a;
        if (window_ != 0 && XGetWindowAttributes(d, window_, &a) != 0 && a.map_state == IsViewable) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void Sender::size(int& width, int& height) {
    width = height = 0;
    XWindowAttributes a;
    if (display_ != nullptr && window_ != 0 && XGetWindowAttributes(dpy(display_), window_, &a) != 0) {
        width = a.width;
        height = a.height;
    }
}

void Sender::send(const Event& event) {
    ::Display* d = dpy(display_);
    const Window root = DefaultRootWindow(d);
    const std::vector<int>& a = event.args;
    // Window pixels to the screen's, wherever the window stands now.
    auto onScreen = [&](int x, int y, int& sx, int& sy) {
        Window child = 0;
        sx = x;
        sy = y;
        XTranslateCoordinates(d, window_, root, x, y, &sx, &sy, &child);
    };
    if (event.kind == "wait") {
        std::this_thread::sleep_for(std::chrono::milliseconds(a[0]));
        return;
    }
    if (event.kind == "move") {
        int sx = 0, sy = 0;
        onScreen(a[0], a[1], sx, sy);
        XTestFakeMotionEvent(d, DefaultScreen(d), sx, sy, CurrentTime);
    } else if (event.kind == "press" || event.kind == "release") {
        XTestFakeButtonEvent(d, static_cast<unsigned>(a[0]), event.kind == "press", CurrentTime);
    } else if (aboutKey(event)) {
        const KeySym symbol = XStringToKeysym(event.key.c_str());
        const KeyCode code = symbol != NoSymbol ? XKeysymToKeycode(d, symbol) : 0;
        XWindowAttributes w;
        // Keys go to the game's window wherever the pointer is, while it is
        // on the screen.
        if (XGetWindowAttributes(d, window_, &w) != 0 && w.map_state == IsViewable)
            XSetInputFocus(d, window_, RevertToPointerRoot, CurrentTime);
        if (code != 0) {
            if (event.kind != "keyup") XTestFakeKeyEvent(d, code, True, CurrentTime);
            if (event.kind != "keydown") XTestFakeKeyEvent(d, code, False, CurrentTime);
        }
    } else if (event.kind == "resize") {
        XResizeWindow(d, window_, static_cast<unsigned>(a[0]), static_cast<unsigned>(a[1]));
    } else if (event.kind == "place") {
        XMoveWindow(d, window_, a[0], a[1]);
    } else if (event.kind == "unmap") {
        XUnmapWindow(d, window_);
    } else if (event.kind == "map") {
        XMapWindow(d, window_);
    } else if (event.kind == "cover") {
        if (cover_ != 0) XDestroyWindow(d, cover_);
        int sx = 0, sy = 0;
        onScreen(a[0], a[1], sx, sy);
        XSetWindowAttributes attributes;
        attributes.override_redirect = True;
        attributes.background_pixel = WhitePixel(d, DefaultScreen(d));
        cover_ = XCreateWindow(d, root, sx, sy, static_cast<unsigned>(a[2]), static_cast<unsigned>(a[3]), 0,
                               CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel,
                               &attributes);
        XMapRaised(d, cover_);
    } else if (event.kind == "uncover") {
        if (cover_ != 0) XDestroyWindow(d, cover_);
        cover_ = 0;
    }
    XSync(d, False);
}

}  // namespace monkey
