#ifndef BATTLESHIPS_TESTS_MONKEY_RUN_H
#define BATTLESHIPS_TESTS_MONKEY_RUN_H

// One game played through the X server with a stream of events, and what
// must hold after it: every frame presented was a whole frame (with the
// checked game), the game lives or ended with status 0 after Q, it uses no
// processor once the events stop, it printed only its own lines, and the
// sanitizers, where it was built with them, reported nothing.

#include <functional>
#include <string>
#include <vector>

#include "monkey_events.h"

namespace monkey {

struct Setup {
    std::string game;       // the program, checked or not
    std::string preload;    // LD_PRELOAD: the fixed clock for the same deal every time, and more
    bool checked = false;   // the game reports on every frame it presents
    std::string folder;     // where the run's files go
    std::string name;       // of its files: <name>.events, <name>.present
};

struct Result {
    int events = 0;
    int frames = 0;
    std::vector<std::string> failures;  // each says the check and what was seen
    // LeakSanitizer's own thread died at the exit: the leak check did not
    // run (seen once in some hundreds of runs); the run says nothing.
    bool leakCheckDied = false;
};

// Starts the game with these arguments on a server of its own and sends it
// what next gives, until next says there is no more, writing each event to
// <name>.events as it goes; then checks.
Result play(const Setup& setup, const std::vector<std::string>& gameArgs,
            const std::function<bool(Sender& sender, Event& event)>& next);

}  // namespace monkey

#endif
