#include "monkey_run.h"

#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "xsession.h"

namespace monkey {

namespace {

using namespace std::chrono_literals;

// The lines the game may print.
bool ownLine(const std::string& line) {
    static const std::set<std::string> lines = {
        "Starting Battleship game...",     "Computer difficulty is set to: Hard",
        "Computer difficulty is set to: Easy", "Field was expanded +1.",
        "OpenGL initializing...",          "Rendering game...",
        "Player #0 won.",                  "Player #1 won.",
        "Second player can't play!",       "Exiting Battleship game..."};
    return lines.count(line) > 0;
}

// Processor time of the whole process, all threads, in clock ticks.
long ticks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto end = stat.rfind(')');
    if (end == std::string::npos) return -1;
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    long utime = 0, stime = 0;
    // Fields 3 to 13, then utime (14) and stime (15).
    for (int i = 3; i <= 13; ++i) fields >> field;
    fields >> utime >> stime;
    return utime + stime;
}

int countLines(const std::string& path) {
    return static_cast<int>(xtest::lines(xtest::readFile(path)).size());
}

// Waits until no frame has come for a while: the game has drawn what the
// last event asked for.
void waitForQuiet(const std::string& present, bool checked, xtest::Process& game) {
    if (!checked) {
        std::this_thread::sleep_for(1s);
        return;
    }
    int frames = countLines(present);
    for (int i = 0; i < 120 && game.running(); ++i) {
        std::this_thread::sleep_for(700ms);
        const int now = countLines(present);
        if (now == frames) return;
        frames = now;
    }
}

std::string firstLines(const std::string& text, size_t count) {
    const std::vector<std::string> all = xtest::lines(text);
    std::string shown;
    for (size_t i = 0; i < all.size() && i < count; ++i) shown += "\n    " + all[i];
    return shown;
}

}  // namespace

Result play(const Setup& setup, const std::vector<std::string>& gameArgs,
            const std::function<bool(Sender& sender, Event& event)>& next) {
    Result result;
    auto fail = [&](const std::string& what) { result.failures.push_back(what); };
    const std::string eventsPath = setup.folder + "/" + setup.name + ".events";
    const std::string present = setup.folder + "/" + setup.name + ".present";
    std::remove(present.c_str());

    xtest::XServer server;
    if (!server.ok()) {
        fail("no X server");
        return result;
    }
    std::vector<std::string> argv = {setup.game};
    argv.insert(argv.end(), gameArgs.begin(), gameArgs.end());
    // The game's environment: a fixed deal, Mesa without a shader cache
    // (whose filling draws from rand()), the report of every frame. The
    // sanitizers' runtime need not come first when something is preloaded.
    setenv("LD_PRELOAD", setup.preload.c_str(), 1);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    setenv("BATTLESHIPS_PRESENT_CHECK", present.c_str(), 1);
    const char* asan = getenv("ASAN_OPTIONS");
    const std::string asanBefore = asan != nullptr ? asan : "";
    setenv("ASAN_OPTIONS", (asanBefore + (asanBefore.empty() ? "" : ":") + "verify_asan_link_order=0").c_str(), 1);
    xtest::Process game(argv, setup.folder, server.display());
    unsetenv("LD_PRELOAD");
    unsetenv("BATTLESHIPS_PRESENT_CHECK");
    if (asan != nullptr)
        setenv("ASAN_OPTIONS", asanBefore.c_str(), 1);
    else
        unsetenv("ASAN_OPTIONS");

    std::ofstream events(eventsPath, std::ios::trunc);
    events << "game";
    for (const std::string& a : gameArgs) events << " " << a;
    events << "\n" << std::flush;

    Sender sender(server.display());
    if (!game.waitForOutput("Rendering game...\n", 60s) || !sender.findWindow(60s)) {
        fail("the game's window did not come up; stdout:" + firstLines(game.out(), 20) +
             "\n  stderr:" + firstLines(game.err(), 20));
        return result;
    }

    bool quit = false;
    Event event;
    while (game.running() && next(sender, event)) {
        events << format(event) << "\n" << std::flush;
        sender.send(event);
        ++result.events;
        if (event.kind == "key" && (event.key == "q" || event.key == "Q")) {
            quit = true;
            break;
        }
    }

    // In the error state every key is ignored, Q too: the game lives on.
    const bool locked = game.out().find("Second player can't play!\n") != std::string::npos;
    if (locked) quit = false;
    if (game.running() && !quit) {
        waitForQuiet(present, setup.checked, game);
        // A game still at work on what the events asked for comes to rest
        // (the sanitized game on a board of 300 x 300, on a loaded machine,
        // within some tens of seconds); one that draws for ever does not.
        std::string used;
        bool rests = false;
        for (int second = 0; second < 60 && !rests && game.running(); ++second) {
            const long before = ticks(game.pid());
            std::this_thread::sleep_for(1s);
            const long after = ticks(game.pid());
            rests = after == before;
            used += " " + std::to_string(after - before);
        }
        if (game.running() && !rests)
            fail("the processor is used after the last frame, clock ticks in each second since:" + used);
        // Q at the end: the game must end with status 0, and the sanitizers
        // look for leaks as it does.
        if (!locked) {
            sender.send(Event{"key", {}, "q"});
            quit = true;
        }
    }
    if (quit) {
        if (!game.wait(60s)) {
            fail("Q did not end the game");
            game.kill();
        } else if (game.signalled()) {
            fail("the game ended by a signal");
        } else if (game.exitStatus() != 0) {
            fail("the game ended with status " + std::to_string(game.exitStatus()));
        }
    } else if (!game.running()) {
        fail(std::string("the game ended without Q") + (game.signalled() ? ", by a signal" : ""));
    }
    game.kill();

    for (const std::string& line : xtest::lines(game.out()))
        if (!ownLine(line)) fail("a line on standard output that is not the game's: \"" + line + "\"");
    const std::string err = game.err();
    result.leakCheckDied = err.find("LeakSanitizer has encountered a fatal error") != std::string::npos;
    if (err.find("Sanitizer") != std::string::npos || err.find("runtime error:") != std::string::npos)
        fail("a sanitizer's report on standard error:" + firstLines(err, 60));

    if (setup.checked) {
        for (const std::string& line : xtest::lines(xtest::readFile(present))) {
            ++result.frames;
            if (line.find(": same") == std::string::npos) fail("a frame unlike a whole frame: " + line);
        }
    }
    if (!result.failures.empty() && !err.empty() && err.find("Sanitizer") == std::string::npos)
        result.failures.push_back("standard error:" + firstLines(err, 20));
    return result;
}

}  // namespace monkey
