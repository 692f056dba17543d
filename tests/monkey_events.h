#ifndef BATTLESHIPS_TESTS_MONKEY_EVENTS_H
#define BATTLESHIPS_TESTS_MONKEY_EVENTS_H

// What a player, a window manager or another program can do to the game's
// window, one event a line, and the sending of it through the X server.
//
// An event list starts with the game's arguments ("game 14 14 2 3 4 3 1"),
// then one event a line:
//   move X Y         the pointer to window pixel (X, Y), which may lie outside
//   press B          button B (1 left, 2 middle, 3 right) goes down
//   release B        and up
//   key K            the key K pressed and released: a letter, or a key's
//                    X name (Left, Return, KP_Enter, space, Prior, ...)
//   keydown K        the key K held down (it repeats as a held key does)
//   keyup K          and let go
//   resize W H       the window's size
//   place X Y        the window's place on the screen
//   unmap / map      the window taken off the screen and put back
//   cover X Y W H    another window laid over (X, Y, window pixels)
//   uncover          and taken away
//   wait MS          nothing for MS milliseconds

#include <chrono>
#include <string>
#include <vector>

namespace monkey {

struct Event {
    std::string kind;
    std::vector<int> args;
    std::string key = {};  // of key, keydown and keyup
};

// Whether the event is one of the three kinds about a key.
bool aboutKey(const Event& event);

// The event as one line, without its end.
std::string format(const Event& event);
// Reads one line; false when it is no event of the list above.
bool parse(const std::string& line, Event& event);

// A list as written: the game's arguments, then the events.
struct Script {
    std::vector<std::string> gameArgs;
    std::vector<Event> events;
};
// Reads a list; false, with the line in error, when a line is wrong.
bool readScript(const std::string& text, Script& script, std::string& error);

// Sends events to the game's window on one X display.
class Sender {
public:
    explicit Sender(const std::string& display);
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;
    ~Sender();

    bool ok() const { return display_ != nullptr; }
    // Waits for the game's window to be shown; false when it is not.
    bool findWindow(std::chrono::milliseconds timeout);
    // Sends the event and waits until the server has taken it.
    void send(const Event& event);
    // The window's size, or 0 x 0 once it is gone.
    void size(int& width, int& height);

private:
    void* display_ = nullptr;
    unsigned long window_ = 0;
    unsigned long cover_ = 0;
};

}  // namespace monkey

#endif
