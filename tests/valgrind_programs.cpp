// The real programs under valgrind's memcheck on a private X server: a game
// placed with S, shot at a few dozen times and quit with Q; the launcher
// opened and closed the way a window manager closes it. Memcheck must find
// no invalid access and no block lost, and the game must have freed every
// block its own code allocated. What freeglut, Mesa and GTK leave behind is
// hidden by tests/valgrind.supp, each entry with its reason.

#include <fstream>
#include <regex>
#include <sstream>

#include "window_support.h"

// After the test framework: Xlib's macros (None, Bool, Status) would break it.
#include <X11/Xlib.h>

#ifndef VALGRIND_SUPPRESSIONS
#define VALGRIND_SUPPRESSIONS "valgrind.supp"
#endif

using namespace wt;

namespace {

using xtest::readFile;

// Valgrind's own exit status when it found an error, so that it can't be
// taken for the program's.
const int kErrorStatus = 97;

std::vector<std::string> underValgrind(const std::string& log, const std::vector<std::string>& program) {
    // Under memcheck, Mesa 25's llvmpipe (Debian 13) leaves whole tiles of
    // a frame undrawn, however it is set; softpipe, which compiles nothing,
    // draws the frames right.
    std::vector<std::string> argv = {"env",
                                     "GALLIUM_DRIVER=softpipe",
                                     "valgrind",
                                     "--tool=memcheck",
                                     "--error-exitcode=" + std::to_string(kErrorStatus),
                                     "--leak-check=full",
                                     "--errors-for-leak-kinds=definite,indirect",
                                     "--show-leak-kinds=all",
                                     // Mesa's driver is unloaded before the
                                     // leak check; keep its names for the
                                     // suppressions.
                                     "--keep-debuginfo=yes",
                                     "--num-callers=40",
                                     // GTK 3's D-Bus client forks to start
                                     // a session bus where there is none;
                                     // the child's summary would come first
                                     // in the log.
                                     "--child-silent-after-fork=yes",
                                     "--suppressions=" + std::string(VALGRIND_SUPPRESSIONS),
                                     "--log-file=" + log};
    argv.insert(argv.end(), program.begin(), program.end());
    return argv;
}

// What memcheck's summary says.
struct Report {
    bool complete = false;
    long long errors = -1, contexts = -1, suppressed = -1;
    long long definiteBytes = -1, definiteBlocks = -1;
    long long indirectBytes = -1, indirectBlocks = -1;
    long long possibleBytes = -1, possibleBlocks = -1;
    long long reachableBytes = -1, reachableBlocks = -1;
    // Loss records, of any kind, whose block was allocated right by the
    // program's own code (the first frame past the allocator is one of
    // ours), each with its first lines.
    std::vector<std::string> own;
    // The errors memcheck counted: invalid accesses and the blocks lost.
    std::vector<std::string> errorRecords;
};

long long number(const std::string& text) {
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9') digits += c;
    return digits.empty() ? -1 : std::stoll(digits);
}

bool amount(const std::string& log, const std::string& kind, long long& bytes, long long& blocks) {
    const std::regex line("==\\d+==\\s+" + kind + ": ([\\d,]+) bytes in ([\\d,]+) blocks");
    std::smatch m;
    if (!std::regex_search(log, m, line)) return false;
    bytes = number(m[1]);
    blocks = number(m[2]);
    return true;
}

Report readReport(const std::string& log, const std::vector<std::string>& ownSources) {
    Report r;
    std::smatch m;
    if (std::regex_search(log, m,
                          std::regex("ERROR SUMMARY: ([\\d,]+) errors from ([\\d,]+) contexts \\(suppressed: ([\\d,]+)"))) {
        r.errors = number(m[1]);
        r.contexts = number(m[2]);
        r.suppressed = number(m[3]);
    }
    // With nothing left at all, memcheck prints one line instead of a table.
    if (log.find("All heap blocks were freed -- no leaks are possible") != std::string::npos) {
        r.definiteBytes = r.definiteBlocks = r.indirectBytes = r.indirectBlocks = 0;
        r.possibleBytes = r.possibleBlocks = r.reachableBytes = r.reachableBlocks = 0;
        r.complete = r.errors >= 0;
    } else {
        r.complete = r.errors >= 0 && amount(log, "definitely lost", r.definiteBytes, r.definiteBlocks) &&
                     amount(log, "indirectly lost", r.indirectBytes, r.indirectBlocks) &&
                     amount(log, "possibly lost", r.possibleBytes, r.possibleBlocks) &&
                     amount(log, "still reachable", r.reachableBytes, r.reachableBlocks);
    }

    // The log in paragraphs: a heading, then its frames, up to a line
    // holding only the process id.
    std::vector<std::vector<std::string>> paragraphs(1);
    std::istringstream in(log);
    std::string line;
    const std::regex empty("^==\\d+==\\s*$");
    while (std::getline(in, line)) {
        if (std::regex_match(line, empty)) {
            if (!paragraphs.back().empty()) paragraphs.emplace_back();
        } else {
            paragraphs.back().push_back(line);
        }
    }

    const std::regex error("(definitely|indirectly) lost in loss record|Invalid (read|write|free)|uninitialised|"
                           "Conditional jump|Mismatched free|overlap|Syscall param");
    // Frames of the allocator itself and of the standard library's
    // containers and strings, which allocate for their caller.
    const std::regex allocator("vgpreload_memcheck|libstdc\\+\\+|\\((basic_string|new_allocator|alloc_traits|allocator|"
                               "stl_[a-z_]+)\\.(h|tcc):");
    for (const std::vector<std::string>& p : paragraphs) {
        if (p.empty()) continue;
        std::string text;
        for (size_t k = 0; k < p.size() && k < 12; ++k) text += p[k] + "\n";
        if (std::regex_search(p[0], error)) r.errorRecords.push_back(text);
        if (p[0].find(" in loss record ") == std::string::npos) continue;
        // The first frame past them made the allocation.
        for (size_t i = 1; i < p.size(); ++i) {
            if (std::regex_search(p[i], allocator)) continue;
            for (const std::string& source : ownSources)
                if (p[i].find("(" + source + ":") != std::string::npos) r.own.push_back(text);
            break;
        }
    }
    return r;
}

void print(const std::string& program, const Report& r) {
    std::cout << program << " under memcheck: " << r.errors << " errors from " << r.contexts << " contexts ("
              << r.suppressed << " suppressed); definitely lost " << r.definiteBytes << " bytes in "
              << r.definiteBlocks << " blocks, indirectly lost " << r.indirectBytes << " bytes in "
              << r.indirectBlocks << " blocks, possibly lost " << r.possibleBytes << " bytes in "
              << r.possibleBlocks << " blocks, still reachable " << r.reachableBytes << " bytes in "
              << r.reachableBlocks << " blocks (" << r.own.size() << " of them allocated by its own code)"
              << std::endl;
}

void expectClean(const std::string& program, const std::string& log, const xtest::Process& p,
                 const std::vector<std::string>& ownSources) {
    const std::string text = readFile(log);
    const Report r = readReport(text, ownSources);
    print(program, r);
    ASSERT_TRUE(r.complete) << "no summary from memcheck:\n" << text;
    std::string errors;
    for (size_t i = 0; i < r.errorRecords.size() && i < 20; ++i) errors += r.errorRecords[i] + "\n";
    EXPECT_FALSE(p.signalled());
    EXPECT_EQ(p.exitStatus(), 0) << "memcheck found errors (status " << kErrorStatus << ") or the program failed";
    EXPECT_EQ(r.errors, 0) << "the first of them, in " << log << ":\n" << errors;
    EXPECT_EQ(r.definiteBlocks, 0);
    EXPECT_EQ(r.indirectBlocks, 0);
    std::string own;
    for (const std::string& record : r.own) own += record + "\n";
    EXPECT_TRUE(r.own.empty()) << "blocks the program's own code left behind:\n" << own;
}

// Sends WM_DELETE_WINDOW, as a window manager's close button does.
bool closeLikeAWindowManager(const std::string& display, unsigned long window) {
    ::Display* x = XOpenDisplay(display.c_str());
    if (x == nullptr) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(x, window, False, NoEventMask, &event);
    XFlush(x);
    XCloseDisplay(x);
    return sent != 0;
}

}  // namespace

TEST(Valgrind, GamePlacedShotAtAndQuitLeavesNoErrorAndNoLeak) {
    xtest::XServer server;
    ASSERT_TRUE(server.ok());
    const std::string log = xtest::tempDir() + "/memcheck.log";
    // The default game: 14 x 14, 12 ships, Hard. Three dozen shots can't
    // end it, so every click is a shot and an answer.
    xtest::Process game(underValgrind(log, {xtest::buildDir() + "/game"}), xtest::buildDir(), server.display());
    ASSERT_TRUE(game.waitForOutput("Rendering game...\n", 180s)) << game.out() << readFile(log);
    const int n = 14 + countLines(game.out(), "Field was expanded +1.");

    const Geometry g = windowOnScreen(kScreenW, kScreenH);
    const Layout l = layoutFor(g.w, g.h, n, n);
    const Board own = ownBoard(l, g, n, n);
    const Board record = recordBoard(l, g, n, n);
    auto waitFor = [&](const std::function<bool(const xtest::Shot&)>& condition) {
        return xtest::eventually(
            [&] {
                const xtest::Shot s(server);
                return s.ok() && condition(s);
            },
            120s);
    };
    ASSERT_TRUE(waitFor([&](const xtest::Shot& s) { return emptyCell(s, own, n - 1, n - 1); }))
        << "the window never showed the own board";

    // S places the whole fleet; a random placement may fail on a board that
    // has room, so S again until the record board appears.
    const Point margin{g.x + 10, g.y + g.h / 2};
    bool placed = false;
    for (int attempt = 0; attempt < 5 && !placed; ++attempt) {
        server.xdotool({"mousemove", std::to_string(margin.x), std::to_string(margin.y), "key", "s"});
        placed = xtest::eventually(
            [&] {
                const xtest::Shot s(server);
                return s.ok() && emptyCell(s, record, n - 1, n - 1);
            },
            60s);
    }
    ASSERT_TRUE(placed) << "the record board never appeared";

    // 36 shots, one click each on a cell not shot before.
    const int kShots = 36;
    std::vector<std::string> clicks;
    for (int i = 0; i < kShots; ++i) {
        const Point p = record.centre(i * 5 % n, i * 5 / n);
        clicks.insert(clicks.end(), {"mousemove", std::to_string(p.x), std::to_string(p.y), "click", "1"});
    }
    server.xdotool(clicks);
    auto shots = [&](const xtest::Shot& s, const Board& b) {
        int count = 0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) count += shot(s, b, x, y);
        return count;
    };
    EXPECT_TRUE(waitFor([&](const xtest::Shot& s) { return shots(s, record) == kShots && shots(s, own) == kShots; }))
        << "not every click became a shot and an answer";

    // The hint overlay held over the record board and let go: its layers
    // come and go with their memory.
    const Point over = record.centre(n - 1, n - 1);
    server.xdotool({"mousemove", std::to_string(over.x), std::to_string(over.y)});
    const xtest::Shot plain(server);
    auto ownChanged = [&](const xtest::Shot& s) {
        const Point from = own.at(0, 0, 0, 0), to = own.at(n - 1, n - 1, 1, 1);
        for (int y = from.y; y < to.y; ++y)
            for (int x = from.x; x < to.x; ++x) {
                // The faintest hint cross darkens a cell by some 20 levels;
                // drawers may differ by a level or two elsewhere.
                if (!xtest::near(s.at(x, y), plain.at(x, y), 8)) return true;
            }
        return false;
    };
    server.xdotool({"mousedown", "3"});
    EXPECT_TRUE(waitFor(ownChanged)) << "no overlay while the right button is held";
    server.xdotool({"mouseup", "3"});
    EXPECT_TRUE(waitFor([&](const xtest::Shot& s) { return !ownChanged(s); })) << "the overlay stays after the release";

    server.xdotool({"mousemove", std::to_string(margin.x), std::to_string(margin.y), "key", "q"});
    ASSERT_TRUE(game.wait(180s)) << "still running after Q";
    const std::vector<std::string> out = lines(game.out());
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), "Exiting Battleship game...");
    expectClean("game", log, game,
                {"coord.cpp", "ship.cpp", "field.cpp", "player.cpp", "human.cpp", "computer.cpp", "battleships.cpp",
                 "params.cpp", "board_memory.cpp", "main.cpp", "display.cpp", "display_input.cpp", "display_scene.cpp",
                 "frame_changes.cpp", "canvas.cpp", "font.cpp", "layers.cpp", "presenter.cpp", "hint_layer.cpp",
                 "offscreen.cpp"});
}

TEST(Valgrind, LauncherOpenedAndClosedLeavesNoErrorAndNoLeak) {
    xtest::XServer server;
    ASSERT_TRUE(server.ok());
    const std::string log = xtest::tempDir() + "/memcheck.log";
    xtest::Process launcher(underValgrind(log, {xtest::buildDir() + "/launcher"}), xtest::buildDir(),
                            server.display());

    // The dialog's window, once mapped.
    std::string found;
    ASSERT_TRUE(xtest::eventually(
        [&] {
            found.clear();
            return server.xdotool({"search", "--onlyvisible", "--name", "^Battleships$"}, &found) == 0 &&
                   !found.empty();
        },
        180s))
        << launcher.out() << launcher.err() << readFile(log);
    const unsigned long window = std::stoul(found);
    // Let it draw itself before it is asked to close: the corner inside the
    // window's border turns to the plain light background.
    std::string geometry;
    server.xdotool({"getwindowgeometry", std::to_string(window)}, &geometry);
    int x = 0, y = 0;
    const size_t at = geometry.find("Position:");
    ASSERT_NE(at, std::string::npos) << geometry;
    std::sscanf(geometry.c_str() + at, "Position: %d,%d", &x, &y);
    EXPECT_TRUE(xtest::eventually(
        [&] {
            const xtest::Shot s(server);
            for (int dy = 2; dy < 10; ++dy)
                for (int dx = 2; dx < 10; ++dx) {
                    const xtest::Rgb c = s.at(x + dx, y + dy);
                    if (c.r < 150 || !xtest::near(c, s.at(x + 2, y + 2), 0)) return false;
                }
            return true;
        },
        120s))
        << "the dialog never drew itself";

    // A window manager's close button: WM_DELETE_WINDOW. GTK answers with
    // its delete event, destroys the window, and the launcher's destroy
    // handler ends the main loop, so main returns.
    ASSERT_TRUE(closeLikeAWindowManager(server.display(), window));
    ASSERT_TRUE(launcher.wait(180s)) << "still running after the close request";
    EXPECT_EQ(launcher.out(), "");
    // The layer that stands in for libglade where it is missing is the
    // launcher's own code too.
    expectClean("launcher", log, launcher, {"launcher.cpp", "glade_layer.cpp", "glade_form.cpp"});
}
