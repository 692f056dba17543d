// The game program as a whole: its console at start and exit, its window's
// size and place, full-screen mode, and command lines that grow the board or
// ask for one too large to hold.

#include "window_support.h"

#include <unistd.h>

#include <utility>

using namespace wt;

namespace {

// A normal start: the start line, the difficulty, one line per growth of
// the board, then the two lines of the window, and nothing else.
void expectStartLines(const std::string& out, const std::string& level) {
    const std::vector<std::string> l = lines(out);
    ASSERT_GE(l.size(), 4u) << out;
    EXPECT_EQ(l[0], "Starting Battleship game...");
    EXPECT_EQ(l[1], "Computer difficulty is set to: " + level);
    size_t i = 2;
    while (i < l.size() && l[i] == "Field was expanded +1.") ++i;
    ASSERT_EQ(l.size(), i + 2) << out;
    EXPECT_EQ(l[i], "OpenGL initializing...");
    EXPECT_EQ(l[i + 1], "Rendering game...");
}

// Waits until the own board's last cell shows the board background: the
// window is up and has drawn its first frame.
bool drawn(const Game& game, const Board& own) {
    return game.waitFor(
        [&](const xtest::Shot& s) {
            const Point p = own.centre(own.w - 1, own.h - 1);
            return xtest::near(s.at(p.x, p.y), backgroundRgb());
        },
        20s);
}

// The icons in xprop's values of _NET_WM_ICON, in their order: size and
// pixels 0xAARRGGBB, each icon square.
std::vector<std::pair<int, std::vector<unsigned long>>> windowIcons(const std::string& xprop) {
    std::vector<std::pair<int, std::vector<unsigned long>>> icons;
    const size_t at = xprop.find("_NET_WM_ICON");
    if (at == std::string::npos) return icons;
    std::istringstream in(xprop.substr(at + 12));
    std::vector<unsigned long> v;
    for (std::string item; in >> item;) v.push_back(std::stoul(item));
    for (size_t i = 0; i + 2 <= v.size() && v[i] == v[i + 1] && i + 2 + v[i] * v[i] <= v.size();
         i += 2 + v[i] * v[i])
        icons.push_back({static_cast<int>(v[i]), {v.begin() + static_cast<long>(i + 2),
                                                  v.begin() + static_cast<long>(i + 2 + v[i] * v[i])}});
    return icons;
}

}  // namespace

TEST(GameStartUp, PrintsItsLinesInOrderWithTheDifficulty) {
    struct Case {
        std::vector<std::string> args;
        std::string level;
    };
    const Case cases[] = {
        {{}, "Hard"},
        {{"8", "8", "1", "1", "1", "1", "0"}, "Easy"},
        {{"8", "8", "1", "1", "1", "1", "2"}, "Hard"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level + " from " + std::to_string(c.args.size()) + " arguments");
        Game game(c.args);
        ASSERT_TRUE(game.server().ok());
        ASSERT_TRUE(game.started()) << game.out();
        expectStartLines(game.out(), c.level);
        // The window's event loop keeps the program running.
        EXPECT_TRUE(game.process().running());
    }
}

TEST(GameWindow, OpensAtScreenSizeOverOnePointTwoCentredAndRaisedWithClassPidAndIcon) {
    Game game;
    ASSERT_TRUE(game.started()) << game.out();
    // What ties the window to the menu entry, to this process on this
    // machine, and the icon a task bar shows, in the sizes it asks for: the
    // installed icon's pixels at their common size.
    std::string props;
    game.server().run({"xprop", "-name", "Battleship game", "-notype", "-f", "_NET_WM_ICON", "32c", " $0+\\n",
                       "WM_CLASS", "_NET_WM_PID", "WM_CLIENT_MACHINE", "_NET_WM_ICON"},
                      &props);
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    for (const std::string& line : {std::string("WM_CLASS = \"battleships\", \"Battleships\""),
                                   "_NET_WM_PID = " + std::to_string(game.process().pid()),
                                   "WM_CLIENT_MACHINE = \"" + std::string(host) + "\""})
        EXPECT_EQ(countLines(props, line), 1) << line << " not in:\n" << props.substr(0, 300);
    std::vector<int> sizes;
    std::vector<unsigned long> icon48;
    for (const auto& icon : windowIcons(props)) {
        sizes.push_back(icon.first);
        if (icon.first == 48) icon48 = icon.second;
    }
    EXPECT_EQ(sizes, std::vector<int>({16, 32, 48, 64}));
    std::string rgba;
    game.server().run({"convert", xtest::buildDir() + "/icons/48x48/battleships.png", "-depth", "8", "rgba:-"}, &rgba);
    ASSERT_EQ(rgba.size(), 4 * icon48.size());
    for (size_t i = 0; i < icon48.size(); ++i) {
        const auto c = [&](size_t k) { return static_cast<unsigned long>(static_cast<unsigned char>(rgba[4 * i + k])); };
        ASSERT_EQ(icon48[i], c(3) << 24 | c(0) << 16 | c(1) << 8 | c(2)) << "pixel " << i % 48 << "," << i / 48;
    }

    const Geometry expected = windowOnScreen(kScreenW, kScreenH);
    // On this screen the single-precision quotient 1920 / 1.2 lies just
    // below 1600 and is truncated.
    EXPECT_EQ(expected.w, 1599);
    EXPECT_EQ(expected.h, 899);
    EXPECT_EQ(expected.x, 160);
    EXPECT_EQ(expected.y, 70);

    ASSERT_TRUE(xtest::eventually([&] { return game.geometry().w == expected.w; }));
    const Geometry g = game.geometry();
    EXPECT_EQ(g.x, expected.x);
    EXPECT_EQ(g.y, expected.y);
    EXPECT_EQ(g.w, expected.w);
    EXPECT_EQ(g.h, expected.h);

    const int n = 14 + game.grown();
    const Board own = ownBoard(layoutFor(g.w, g.h, n, n), g, n, n);
    ASSERT_TRUE(drawn(game, own));
    const xtest::Shot s = game.shot();
    // The window's corners show the colour around the boards; the screen
    // just outside them is the server's black root.
    for (const Point p : {Point{g.x, g.y}, Point{g.x + g.w - 1, g.y}, Point{g.x, g.y + g.h - 1},
                          Point{g.x + g.w - 1, g.y + g.h - 1}}) {
        EXPECT_TRUE(xtest::near(s.at(p.x, p.y), clearRgb())) << p.x << "," << p.y << " " << str(s.at(p.x, p.y));
    }
    for (const Point p : {Point{g.x - 1, g.y - 1}, Point{g.x + g.w, g.y + g.h}, Point{g.x - 1, g.y + g.h / 2},
                          Point{g.x + g.w / 2, g.y - 1}}) {
        EXPECT_TRUE(xtest::near(s.at(p.x, p.y), black())) << p.x << "," << p.y << " " << str(s.at(p.x, p.y));
    }
}

TEST(GameWindow, KeyFTogglesFullScreenAndBackToTheStartingPlace) {
    Game game;
    ASSERT_TRUE(game.started()) << game.out();
    const Geometry start = windowOnScreen(kScreenW, kScreenH);
    const int n = 14 + game.grown();
    const Board own = ownBoard(layoutFor(start.w, start.h, n, n), start, n, n);
    ASSERT_TRUE(drawn(game, own));

    game.key("f", own.centre(n / 2, n / 2));
    ASSERT_TRUE(xtest::eventually([&] {
        const Geometry g = game.geometry();
        return g.w == kScreenW && g.h == kScreenH;
    })) << "window stays " << game.geometry().w << "x" << game.geometry().h;

    // The layout follows the new size. Without a window manager the full
    // screen window may stand off the screen's corner, so positions are
    // taken from where the server says it is.
    const Geometry full = game.geometry();
    const Layout fl = layoutFor(full.w, full.h, n, n);
    EXPECT_FALSE(fl.fitted);
    const Board bigOwn = ownBoard(fl, full, n, n);
    const Point cell = bigOwn.centre(n - 1, n - 1);
    const Point header = bigOwn.at(n - 1, -1, 0.1f, 0.5f);
    ASSERT_TRUE(cell.x >= 0 && cell.x < kScreenW && cell.y >= 0 && cell.y < kScreenH);
    ASSERT_TRUE(header.x >= 0 && header.x < kScreenW && header.y >= 0 && header.y < kScreenH);
    EXPECT_TRUE(game.waitFor([&](const xtest::Shot& s) {
        return xtest::near(s.at(cell.x, cell.y), backgroundRgb()) &&
               xtest::near(s.at(header.x, header.y), headerRgb());
    })) << "board not drawn at the full-screen layout";

    game.key("F", {kScreenW / 2, kScreenH / 2});
    ASSERT_TRUE(xtest::eventually([&] {
        const Geometry g = game.geometry();
        return g.w == start.w && g.h == start.h && g.x == start.x && g.y == start.y;
    })) << "window at " << game.geometry().x << "," << game.geometry().y << " " << game.geometry().w << "x"
        << game.geometry().h;
    EXPECT_TRUE(game.waitFor([&](const xtest::Shot& s) {
        const Point last = own.centre(n - 1, n - 1);
        return xtest::near(s.at(last.x, last.y), backgroundRgb()) &&
               xtest::near(s.at(start.x - 1, start.y - 1), black()) &&
               xtest::near(s.at(start.x, start.y), clearRgb());
    })) << "board not back at the window's starting layout";
    EXPECT_TRUE(game.process().running());
}

TEST(GameExit, QuitKeyPrintsTheExitLineLastAndEndsWithStatusZero) {
    for (const std::string key : {"q", "Q"}) {
        SCOPED_TRACE("key " + key);
        Game game;
        ASSERT_TRUE(game.started()) << game.out();
        const Geometry g = windowOnScreen(kScreenW, kScreenH);
        const int n = 14 + game.grown();
        ASSERT_TRUE(drawn(game, ownBoard(layoutFor(g.w, g.h, n, n), g, n, n)));

        game.key(key, {g.x + g.w / 2, g.y + g.h / 2});
        ASSERT_TRUE(game.process().wait(20s)) << "still running after " << key;
        EXPECT_FALSE(game.process().signalled());
        EXPECT_EQ(game.process().exitStatus(), 0);
        const std::vector<std::string> l = lines(game.out());
        ASSERT_FALSE(l.empty());
        EXPECT_EQ(l.back(), "Exiting Battleship game...");
        EXPECT_EQ(countLines(game.out(), "Exiting Battleship game..."), 1);
    }
}

// On a fixed deal, so that S finds the fleet a place on the grown board
// within its presses: there each random placement may fail, and on some
// deals most do.
TEST(GameCommandLine, TinyBoardGrowsUntilTheFleetFitsAndIsPlayable) {
    Game game({"0", "-3"}, fixedDeal());
    ASSERT_TRUE(game.started()) << game.out();
    expectStartLines(game.out(), "Hard");
    // The default fleet can't stand on one cell.
    ASSERT_GE(game.grown(), 1) << game.out();
    const int n = 1 + game.grown();

    const Geometry g = windowOnScreen(kScreenW, kScreenH);
    const Layout l = layoutFor(g.w, g.h, n, n);
    const Board own = ownBoard(l, g, n, n);
    const Board record = recordBoard(l, g, n, n);
    ASSERT_TRUE(drawn(game, own));

    // Once every ship stands, the record board appears.
    ASSERT_TRUE(placeFleet(game, {g.x + 10, g.y + g.h / 2},
                           [&](const xtest::Shot& s) { return emptyCell(s, record, n - 1, n - 1); }))
        << "the fleet never stood on the grown board; running: " << game.process().running() << "\n"
        << game.out();
    // 2 aircraft carriers, 3 battleships, 4 submarines and 3 destroyers.
    EXPECT_EQ(countCells(game.shot(), own, shipRgb()), 2 * 5 + 3 * 4 + 4 * 3 + 3 * 2);

    // A click on the record board shoots there, and the computer answers
    // with one shot on the own board.
    game.click(record.centre(0, 0));
    ASSERT_TRUE(game.waitFor([&](const xtest::Shot& s) { return shot(s, record, 0, 0); }))
        << "no cross where the record board was clicked";
    EXPECT_TRUE(game.waitFor([&](const xtest::Shot& s) {
        int answers = 0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                if (shot(s, own, x, y)) ++answers;
        return answers == 1;
    })) << "the computer's answer is not one cross on the own board";
    EXPECT_EQ(countLines(game.out(), "Field was expanded +1."), n - 1) << "the board grew again";
}

TEST(GameCommandLine, BoardTooLargeForMemoryIsRefusedBeforeAnyWindow) {
    xtest::XServer server;
    ASSERT_TRUE(server.ok());
    for (const std::string size : {"100000", "2147483647"}) {
        SCOPED_TRACE("board " + size + " x " + size);
        xtest::Process game({xtest::buildDir() + "/game", size, size}, xtest::buildDir(), server.display());
        ASSERT_TRUE(game.wait(60s)) << "still running";
        EXPECT_FALSE(game.signalled());
        EXPECT_EQ(game.exitStatus(), 1);

        const std::vector<std::string> err = lines(game.err());
        ASSERT_EQ(err.size(), 1u) << game.err();
        EXPECT_FALSE(err[0].empty());

        // At most the start and exit lines: no difficulty line, nothing of
        // the window.
        for (const std::string& line : lines(game.out()))
            EXPECT_TRUE(line == "Starting Battleship game..." || line == "Exiting Battleship game...") << line;
    }
    std::string windows;
    EXPECT_NE(server.xdotool({"search", "--name", "Battleship game"}, &windows), 0) << windows;
}

// Should memory still run out while the first game is dealt, one line says
// so and the game ends with status 1 before any window, never aborts.
TEST(GameCommandLine, MemoryRunningOutWhileDealingEndsWithALineNotAnAbort) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer must be the first library loaded";
#endif
    // The board passes the check, but its placement needs blocks past 1 MiB.
    Game game({"1000", "1000"}, std::string("export LD_PRELOAD='") + BATTLESHIPS_FAILING_NEW + "'");
    ASSERT_TRUE(game.server().ok());
    ASSERT_TRUE(game.process().wait(60s)) << "still running";
    EXPECT_FALSE(game.process().signalled());
    EXPECT_EQ(game.process().exitStatus(), 1);
    EXPECT_EQ(game.process().err(), "Battleship game: not enough memory for a board of 1000 x 1000 cells.\n");
    EXPECT_EQ(countLines(game.out(), "OpenGL initializing..."), 0) << game.out();
}

// Under an address-space limit, as containers set one: a board that needs a
// few hundred MiB plays, one past the limit is refused with a line that says
// so. Mesa's renderer gets one thread, so the driver's share is the same on
// every machine.
TEST(GameCommandLine, UnderAnAddressSpaceLimitABoardPlaysOrIsRefusedNeverAborts) {
    const std::string limit = "ulimit -v 1024000 && export LP_NUM_THREADS=1";
    {
        Game refused({"2400", "2400", "0", "0", "0", "1", "1"}, limit);
        ASSERT_TRUE(refused.process().wait(60s)) << "still running";
        EXPECT_FALSE(refused.process().signalled());
        EXPECT_EQ(refused.process().exitStatus(), 1);
        const std::vector<std::string> err = lines(refused.process().err());
        ASSERT_EQ(err.size(), 1u) << refused.process().err();
        EXPECT_EQ(err[0].rfind("Battleship game: a board of 2400 x 2400 cells needs about ", 0), 0u) << err[0];
        EXPECT_NE(err[0].find("but only 1000 MiB are available."), std::string::npos) << err[0];
    }

    const int n = 1600;
    Game game({std::to_string(n), std::to_string(n), "0", "0", "0", "1", "1"}, limit);
    ASSERT_TRUE(game.started()) << game.out() << game.process().err();
    const Geometry g = windowOnScreen(kScreenW, kScreenH);
    const Layout l = layoutFor(g.w, g.h, n, n);
    const Board record = recordBoard(l, g, n, n);
    ASSERT_TRUE(placeFleet(game, {g.x + 10, g.y + g.h / 2}, [&](const xtest::Shot& s) {
        const Point p = record.at(n - 1, n - 1, 1.0f, 1.0f);
        return xtest::near(s.at(p.x - 1, p.y - 1), gridRgb(), 40);
    })) << "no record board; running: " << game.process().running() << "\n" << game.process().err();

    // The red target square marks an unshot cell under the pointer; once the
    // click has played its exchange of shots the cell is shot and it goes.
    auto target = [](const xtest::Shot& s, Point p) {
        for (int y = p.y - 3; y <= p.y + 3; ++y)
            for (int x = p.x - 3; x <= p.x + 3; ++x)
                if (s.at(x, y).r - s.at(x, y).g > 60) return true;
        return false;
    };
    for (const Point p : {record.at(100, 200), record.at(800, 800), record.at(1500, 30)}) {
        game.move(p);
        ASSERT_TRUE(game.waitFor([&](const xtest::Shot& s) { return target(s, p); }, 30s))
            << "no target square at " << p.x << "," << p.y;
        game.click(p);
        ASSERT_TRUE(game.waitFor([&](const xtest::Shot& s) { return !target(s, p); }, 30s))
            << "the shot at " << p.x << "," << p.y << " was not played";
    }
    game.key("q", record.at(10, 10));
    ASSERT_TRUE(game.process().wait(30s));
    EXPECT_EQ(game.process().exitStatus(), 0) << game.process().err();
    EXPECT_EQ(game.process().err(), "");
}
