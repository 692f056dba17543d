#ifndef BATTLESHIPS_TESTS_WINDOW_SUPPORT_H
#define BATTLESHIPS_TESTS_WINDOW_SUPPORT_H

// Shared pieces of the game window tests: the layout the window follows,
// the colours it draws with, and a running game on a private X server.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "xsession.h"

namespace wt {

using namespace std::chrono_literals;

const int kScreenW = 1920;
const int kScreenH = 1080;

// ---------------------------------------------------------------- layout

// Where the boards lie in a window of windowW x windowH pixels, computed in
// single precision as the window does.
struct Layout {
    float windowW, windowH;
    float fieldSizeW, fieldSizeH;
    float fieldSpaceW, fieldSpaceWmiddle, fieldSpaceH;
    float columnW, rowH;
    bool fitted;
};

inline Layout layoutFor(int windowW, int windowH, int boardW, int boardH) {
    Layout l{};
    const int columns = boardW + 1;
    const int rows = boardH + 1;
    l.windowW = static_cast<float>(windowW);
    l.windowH = static_cast<float>(windowH);
    l.fieldSizeW = l.windowW * 10.0f / 22.0f;
    l.fieldSizeH = static_cast<float>(rows) * (l.fieldSizeW / static_cast<float>(columns));
    l.fieldSpaceW = (l.windowW - 2.0f * l.fieldSizeW) / 3.0f;
    l.fieldSpaceWmiddle = l.fieldSpaceW;
    l.fieldSpaceH = (l.windowH - l.fieldSizeH) / 2.0f;
    l.fitted = l.fieldSpaceH < 30.0f;
    if (l.fitted) {
        l.fieldSpaceH = 30.0f;
        l.fieldSizeH = l.windowH - 2.0f * l.fieldSpaceH;
        l.fieldSizeW = static_cast<float>(columns) * (l.fieldSizeH / static_cast<float>(rows));
        l.fieldSpaceW = (l.windowW - (2.0f * l.fieldSizeW + l.fieldSpaceWmiddle)) / 2.0f;
    }
    l.columnW = l.fieldSizeW / static_cast<float>(columns);
    l.rowH = l.fieldSizeH / static_cast<float>(rows);
    return l;
}

// The window's place and size on the screen.
struct Geometry {
    int x = 0, y = 0, w = 0, h = 0;
};

// The window the game opens on a screen: screen / 1.2 (single precision,
// truncated), centred, 20 pixels above the middle.
inline Geometry windowOnScreen(int screenW, int screenH) {
    Geometry g;
    g.w = static_cast<int>(static_cast<float>(screenW) / 1.2f);
    g.h = static_cast<int>(static_cast<float>(screenH) / 1.2f);
    g.x = (screenW - g.w) / 2;
    g.y = (screenH - g.h) / 2 - 20;
    return g;
}

struct Point {
    int x, y;
};

// One board on the screen: its top-left corner and its cell size.
struct Board {
    float left, top;  // screen pixels
    float columnW, rowH;
    int w, h;  // cells, header excluded

    // Screen pixel at fraction (fx, fy) of cell (x, y); the header column
    // and row are cell -1.
    Point at(int x, int y, float fx = 0.5f, float fy = 0.5f) const {
        return {static_cast<int>(std::floor(left + (static_cast<float>(x + 1) + fx) * columnW)),
                static_cast<int>(std::floor(top + (static_cast<float>(y + 1) + fy) * rowH))};
    }
    Point centre(int x, int y) const { return at(x, y); }
};

inline Board ownBoard(const Layout& l, const Geometry& g, int w, int h) {
    return {static_cast<float>(g.x) + l.fieldSpaceW, static_cast<float>(g.y) + l.fieldSpaceH, l.columnW,
            l.rowH, w, h};
}

inline Board recordBoard(const Layout& l, const Geometry& g, int w, int h) {
    return {static_cast<float>(g.x) + l.fieldSpaceW + l.fieldSizeW + l.fieldSpaceWmiddle,
            static_cast<float>(g.y) + l.fieldSpaceH, l.columnW, l.rowH, w, h};
}

// ---------------------------------------------------------------- colours

struct Colour {
    float r, g, b;
};

inline int channel(float c) {
    return static_cast<int>(std::lround(c * 255.0f));
}

inline xtest::Rgb opaque(const Colour& c) {
    return {channel(c.r), channel(c.g), channel(c.b)};
}

// Colour c with alpha a drawn over a pixel already showing `under`.
inline xtest::Rgb over(const Colour& c, float a, const xtest::Rgb& under) {
    return {channel(c.r * a + (1 - a) * under.r / 255.0f), channel(c.g * a + (1 - a) * under.g / 255.0f),
            channel(c.b * a + (1 - a) * under.b / 255.0f)};
}

const Colour kClear{0.294f, 0.364f, 0.909f};
const Colour kBackground{0.99f, 0.99f, 0.99f};
const Colour kHeader{0.3f, 0.3f, 0.3f};       // alpha 0.8
const Colour kGrid{0.7f, 0.7f, 0.7f};
const Colour kShipFill{0.8f, 0.8f, 0.8f};     // alpha 0.7
const Colour kSunkFill{0.9f, 0.5f, 0.5f};     // alpha 0.6
const Colour kMiss{0.4f, 0.4f, 0.4f};         // alpha 0.7
const Colour kHit{1.0f, 0.2f, 0.2f};          // alpha 0.9
const Colour kPreviewOk{0.5f, 0.9f, 0.5f};    // alpha 0.6
const Colour kPreviewBad{0.9f, 0.5f, 0.5f};   // alpha 0.6
const Colour kTarget{1.0f, 0.3f, 0.3f};       // alpha 0.7
const Colour kFrameWin{75 / 255.0f, 93 / 255.0f, 232 / 255.0f};   // alpha 0.7
const Colour kFrameLose{232 / 255.0f, 93 / 255.0f, 75 / 255.0f};  // alpha 0.7

inline xtest::Rgb clearRgb() { return opaque(kClear); }
inline xtest::Rgb backgroundRgb() { return opaque(kBackground); }
inline xtest::Rgb headerRgb() { return over(kHeader, 0.8f, backgroundRgb()); }
// The corner cell lies under both header rectangles.
inline xtest::Rgb cornerRgb() { return over(kHeader, 0.8f, headerRgb()); }
inline xtest::Rgb gridRgb() { return opaque(kGrid); }
inline xtest::Rgb shipRgb() { return over(kShipFill, 0.7f, backgroundRgb()); }
inline xtest::Rgb sunkRgb() { return over(kSunkFill, 0.6f, backgroundRgb()); }
inline xtest::Rgb previewOkRgb() { return over(kPreviewOk, 0.6f, backgroundRgb()); }
inline xtest::Rgb previewBadRgb() { return over(kPreviewBad, 0.6f, backgroundRgb()); }
inline xtest::Rgb white() { return {255, 255, 255}; }
inline xtest::Rgb black() { return {0, 0, 0}; }

inline std::string str(const xtest::Rgb& c) {
    return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

// A frame pixel: colour f at alpha 0.7 over whatever lay beneath.
inline bool frameToned(const xtest::Rgb& p, const Colour& f) {
    auto inRange = [](int v, float c) {
        const float low = 0.7f * c * 255.0f;
        return v >= low - 3 && v <= low + 0.3f * 255.0f + 3;
    };
    return inRange(p.r, f.r) && inRange(p.g, f.g) && inRange(p.b, f.b);
}

// Whether the middle half of a cell carries a shot cross of the miss colour
// or of the hit colour (over the cell or over a ship drawn on it). Thin
// lines leave some pixels only partly covered, so one fully covered pixel
// near the cell's diagonals is enough.
inline bool hasCross(const xtest::Shot& s, const Board& b, int x, int y, const std::vector<xtest::Rgb>& colours) {
    for (float fy = 0.3f; fy <= 0.7f; fy += 0.02f)
        for (float fx = 0.3f; fx <= 0.7f; fx += 0.02f) {
            const Point p = b.at(x, y, fx, fy);
            for (const xtest::Rgb& c : colours)
                if (xtest::near(s.at(p.x, p.y), c, 4)) return true;
        }
    return false;
}

inline std::vector<xtest::Rgb> missColours() {
    return {over(kMiss, 0.7f, backgroundRgb())};
}

inline std::vector<xtest::Rgb> hitColours() {
    return {over(kHit, 0.9f, backgroundRgb()), over(kHit, 0.9f, shipRgb()), over(kHit, 0.9f, sunkRgb())};
}

inline bool hasMiss(const xtest::Shot& s, const Board& b, int x, int y) {
    return hasCross(s, b, x, y, missColours());
}

inline bool hasHit(const xtest::Shot& s, const Board& b, int x, int y) {
    return hasCross(s, b, x, y, hitColours());
}

inline bool shot(const xtest::Shot& s, const Board& b, int x, int y) {
    return hasMiss(s, b, x, y) || hasHit(s, b, x, y);
}

// Shows the plain board background at the cell's centre and at a point
// away from its diagonals: nothing is drawn on the cell.
inline bool emptyCell(const xtest::Shot& s, const Board& b, int x, int y) {
    const Point c = b.centre(x, y);
    const Point side = b.at(x, y, 0.5f, 0.2f);
    return xtest::near(s.at(c.x, c.y), backgroundRgb()) && xtest::near(s.at(side.x, side.y), backgroundRgb());
}

// Cells whose point half-way between the centre and the top edge, off the
// crosses, shows the given colour.
inline int countCells(const xtest::Shot& s, const Board& b, const xtest::Rgb& colour) {
    int n = 0;
    for (int y = 0; y < b.h; ++y)
        for (int x = 0; x < b.w; ++x) {
            const Point p = b.at(x, y, 0.5f, 0.2f);
            if (xtest::near(s.at(p.x, p.y), colour)) ++n;
        }
    return n;
}

// Whether some pixel of the screen rectangle [x0, x1) x [y0, y1) is near
// the colour.
inline bool anyNear(const xtest::Shot& s, int x0, int y0, int x1, int y1, const xtest::Rgb& colour,
                    int tolerance = 3) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (xtest::near(s.at(x, y), colour, tolerance)) return true;
    return false;
}

// Where the placing instructions start, in window pixels: "Set your ships!"
// has its baseline here, the three lines below follow 20 pixels apart.
inline Point instructions(const Layout& l) {
    return {static_cast<int>(l.fieldSpaceW + l.fieldSizeW + 0.1f * l.fieldSizeW),
            static_cast<int>(l.fieldSpaceH + 0.25f * l.fieldSizeH)};
}

// Whether the instructions are drawn: "Set your ships!" in opaque white,
// the last of the lines below it in white at 0.7 over the colour around the
// boards. The left ends are skipped: in the battle phase the record board's
// white row numbers may stand there.
inline bool instructionsShown(const xtest::Shot& s, const Layout& l, const Geometry& g) {
    const Point i = instructions(l);
    const xtest::Rgb dimText = over({1, 1, 1}, 0.7f, clearRgb());
    return anyNear(s, g.x + i.x + 25, g.y + i.y - 12, g.x + i.x + 90, g.y + i.y + 2, white(), 0) &&
           anyNear(s, g.x + i.x + 60, g.y + i.y + 48, g.x + i.x + 250, g.y + i.y + 62, dimText);
}

// ---------------------------------------------------------------- console

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) result.push_back(line);
    return result;
}

inline int countLines(const std::string& text, const std::string& line) {
    int n = 0;
    for (const std::string& l : lines(text))
        if (l == line) ++n;
    return n;
}

// ---------------------------------------------------------------- a game

// The same random deal on every run and release: a fixed clock seeds the
// game, and Mesa, which would draw from rand() while it fills an empty
// shader cache, keeps no cache.
inline std::string fixedDeal() {
    return std::string("export LD_PRELOAD='") + BATTLESHIPS_FIXED_TIME + "' MESA_SHADER_CACHE_DISABLE=true";
}

class Game;

// The game whose screen a failing check in this test is about.
inline Game*& gameOnShow() {
    static Game* game = nullptr;
    return game;
}

// The real game running on its own X server.
class Game {
public:
    // setup: shell commands run first in the game's own process (limits,
    // environment).
    // With BATTLESHIPS_CHECKED_GAME set, that game runs instead and
    // reports on every frame it shows (see tests/present_checked.cpp).
    explicit Game(const std::vector<std::string>& args = {}, const std::string& setup = "") {
        gameOnShow() = this;
        if (!server_.ok()) return;
        const char* checked = std::getenv("BATTLESHIPS_CHECKED_GAME");
        std::vector<std::string> argv = {checked != nullptr ? checked : xtest::buildDir() + "/game"};
        if (checked != nullptr) {
            static int games = 0;
            const std::string folder = xtest::buildDir() + "/present-check";
            std::error_code ignored;
            std::filesystem::create_directories(folder, ignored);
            checkLog_ = folder + "/" + std::to_string(getpid()) + "-" + std::to_string(++games) + ".log";
            std::filesystem::remove(checkLog_, ignored);
            setenv("BATTLESHIPS_PRESENT_CHECK", checkLog_.c_str(), 1);
        }
        if (!setup.empty()) argv = {"/bin/sh", "-c", setup + " && exec \"$0\" \"$@\"", argv[0]};
        argv.insert(argv.end(), args.begin(), args.end());
        process_ = std::make_unique<xtest::Process>(argv, xtest::buildDir(), server_.display());
    }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    ~Game() {
        if (gameOnShow() == this) gameOnShow() = nullptr;
        if (checkLog_.empty()) return;
        // The game stopped first, so that its last line is whole.
        process_.reset();
        expectEveryFrameWhole();
    }

    const xtest::XServer& server() const { return server_; }
    xtest::Process& process() { return *process_; }
    std::string out() const { return process_->out(); }

    // Waits for the start-up lines; false when they don't come.
    bool started() {
        return process_ != nullptr && process_->waitForOutput("Rendering game...\n", 20s);
    }

    // The board size after start-up: the size asked for, grown by one
    // column and one row per "Field was expanded +1." line.
    int grown() const { return countLines(out(), "Field was expanded +1."); }

    // The window's place and size as the X server reports them.
    Geometry geometry() const {
        std::string text;
        server_.xdotool({"search", "--name", "^Battleship game$", "getwindowgeometry"}, &text);
        Geometry g;
        const size_t pos = text.find("Position:");
        const size_t geo = text.find("Geometry:");
        if (pos == std::string::npos || geo == std::string::npos) return g;
        std::sscanf(text.c_str() + pos, "Position: %d,%d", &g.x, &g.y);
        std::sscanf(text.c_str() + geo, "Geometry: %dx%d", &g.w, &g.h);
        return g;
    }

    xtest::Shot shot() const {
        looked_ = true;
        return xtest::Shot(server_);
    }

    void move(Point p) const { server_.move(p.x, p.y); }

    // Press and release without xdotool's pause after a click.
    void click(Point p, int button = 1) const {
        const std::string b = std::to_string(button);
        server_.xdotool({"mousemove", std::to_string(p.x), std::to_string(p.y), "mousedown", b, "mouseup", b});
    }

    // Clicks each point in turn, in one run of xdotool.
    void clickAll(const std::vector<Point>& points) const {
        std::vector<std::string> args;
        for (const Point& p : points) {
            args.insert(args.end(), {"mousemove", std::to_string(p.x), std::to_string(p.y), "mousedown", "1",
                                     "mouseup", "1"});
        }
        if (!args.empty()) server_.xdotool(args);
    }

    // The frames the checked game has shown so far, or -1 for the plain game.
    int framesShown() const {
        if (checkLog_.empty()) return -1;
        std::ifstream in(checkLog_);
        int n = 0;
        for (std::string line; std::getline(in, line);) ++n;
        return n;
    }

    // Keys alone, the pointer left where it is; they go to the window under it.
    void keys(const std::vector<std::string>& names) const {
        std::vector<std::string> args = {"key"};
        args.insert(args.end(), names.begin(), names.end());
        server_.xdotool(args);
    }

    // Keys go to the window under the pointer.
    void key(const std::string& name, Point pointer) const {
        server_.xdotool({"mousemove", std::to_string(pointer.x), std::to_string(pointer.y), "key", name});
    }

    // Polls screenshots until the condition holds on one of them.
    bool waitFor(const std::function<bool(const xtest::Shot&)>& condition,
                 std::chrono::milliseconds timeout = 10s) const {
        return xtest::eventually(
            [&] {
                const xtest::Shot s = shot();
                return s.ok() && condition(s);
            },
            timeout);
    }

private:
    // Every frame the checked game showed held in its back buffer what a
    // whole frame draws; and a test that looked at the window saw frames.
    void expectEveryFrameWhole() const {
        std::ifstream in(checkLog_);
        std::string line;
        int frames = 0;
        while (std::getline(in, line)) {
            ++frames;
            if (line.find(": same") == std::string::npos)
                ADD_FAILURE() << "a frame went on the window unlike a whole frame (" << checkLog_ << "): " << line;
        }
        if (looked_ && frames == 0) ADD_FAILURE() << "the checked game reported no frame in " << checkLog_;
    }

    xtest::XServer server_;
    std::unique_ptr<xtest::Process> process_;
    std::string checkLog_;
    mutable bool looked_ = false;
};

// Every failed check of a window test leaves the screen it failed on, as a
// PNG whose path goes to the log beside the check's own message.
// (GoogleTest holds a lock while it reports a result: the test's name is
// kept from its start.)
class ScreenOnFailure : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& test) override {
        name_ = std::string(test.test_suite_name()) + "." + test.name();
        for (char& c : name_)
            if (c == '/') c = '_';
        count_ = 0;
    }

    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        Game* game = gameOnShow();
        if (!result.failed() || game == nullptr || !game->server().ok()) return;
        const std::string folder = xtest::buildDir() + "/failed-screens";
        const std::string path = folder + "/" + name_ + "-" + std::to_string(++count_) + ".png";
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        if (game->server().run({"import", "-window", "root", path}) == 0)
            std::fprintf(stderr, "the screen at this failure (%s:%d) is saved as %s\n",
                         result.file_name() != nullptr ? result.file_name() : "?", result.line_number(),
                         path.c_str());
    }

    std::string name_;
    int count_ = 0;
};

inline const bool kScreenOnFailure = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenOnFailure);
    return true;
}();

// ---------------------------------------------------------------- words

// The pixels a text sets in one of the game's fonts, as tests/text_mask
// draws it: rows of '#' (set) and '.', the first at column `left` from the
// raster position's pixel and row `top` from its baseline (downwards).
struct TextMask {
    int advance = 0;
    int left = 0, top = 0;
    std::vector<std::string> rows;
};

// Masks of the texts in font "helvetica12" or "times24", drawn on the
// game's X server; empty when the helper failed.
inline std::vector<TextMask> textMasks(const Game& game, const std::string& font,
                                       const std::vector<std::string>& texts) {
    std::vector<std::string> argv = {BATTLESHIPS_TEXT_MASK, font};
    argv.insert(argv.end(), texts.begin(), texts.end());
    std::string out;
    if (game.server().run(argv, &out) != 0) return {};
    std::istringstream in(out);
    std::vector<TextMask> masks(texts.size());
    for (TextMask& m : masks) {
        int columns = 0, rows = 0;
        if (!(in >> m.advance >> m.left >> m.top >> columns >> rows)) return {};
        m.rows.resize(static_cast<size_t>(rows));
        for (std::string& row : m.rows)
            if (!(in >> row) || row.size() != static_cast<size_t>(columns)) return {};
    }
    return masks;
}

// The screen pixel holding the raster position (x, y) of the window's
// drawing coordinates: bitmaps start at the whole pixel below and left of
// it, which the driver nudges up by 1e-4 first (y upwards there).
inline Point rasterPixel(const Geometry& g, float x, float y) {
    const float up = static_cast<float>(g.h) - y;
    return {g.x + static_cast<int>(std::floor(x + 1e-4f)),
            g.y + g.h - 1 - static_cast<int>(std::floor(up + 1e-4f))};
}

// Whether the screen shows exactly the mask's pixels at raster pixel p: a
// pixel counts as text where it differs clearly from the background. The
// area looked at reaches 2 pixels around the mask and 8 past its right end,
// where more text would go on.
inline ::testing::AssertionResult showsText(const xtest::Shot& s, const TextMask& m, Point p,
                                            const xtest::Rgb& background) {
    if (m.rows.empty()) return ::testing::AssertionFailure() << "no mask";
    const int columns = static_cast<int>(m.rows[0].size());
    const int rows = static_cast<int>(m.rows.size());
    std::string expected, seen;
    for (int r = -2; r < rows + 2; ++r) {
        for (int c = -2; c < columns + 8; ++c) {
            const bool inside = r >= 0 && r < rows && c >= 0 && c < columns;
            expected += inside && m.rows[static_cast<size_t>(r)][static_cast<size_t>(c)] == '#' ? '#' : '.';
            seen += xtest::near(s.at(p.x + m.left + c, p.y + m.top + r), background, 24) ? '.' : '#';
        }
        expected += '\n';
        seen += '\n';
    }
    if (expected == seen) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected at " << p.x << "," << p.y << ":\n"
                                         << expected << "seen:\n" << seen;
}

// One text at drawing position (x, y) of the window.
inline ::testing::AssertionResult showsText(const Game& game, const xtest::Shot& s, const std::string& font,
                                            const std::string& text, float x, float y,
                                            const xtest::Rgb& background) {
    const std::vector<TextMask> m = textMasks(game, font, {text});
    if (m.empty()) return ::testing::AssertionFailure() << "no mask of \"" << text << "\"";
    return showsText(s, m[0], rasterPixel(game.geometry(), x, y), background) << "\"" << text << "\"";
}

// Column letters from A and row numbers from 1 over the headers of the board
// whose top-left corner lies at drawing position (left, top), each centred
// on its cell.
inline ::testing::AssertionResult labelsShown(const Game& game, const xtest::Shot& s, const Layout& l, float left,
                                              int w, int h) {
    std::vector<std::string> texts;
    for (int k = 1; k <= w; ++k) texts.push_back(std::string(1, static_cast<char>('A' + k - 1)));
    for (int k = 1; k <= h; ++k) texts.push_back(std::to_string(k));
    const std::vector<TextMask> m = textMasks(game, "helvetica12", texts);
    if (m.size() != texts.size()) return ::testing::AssertionFailure() << "no masks";
    const Geometry g = game.geometry();
    const float base = (l.rowH + 8.5f) / 2;
    for (size_t i = 0; i < texts.size(); ++i) {
        const int k = static_cast<int>(i < static_cast<size_t>(w) ? i + 1 : i + 1 - w);
        const float centred = (l.columnW - static_cast<float>(m[i].advance)) / 2;
        const Point p = i < static_cast<size_t>(w)
                            ? rasterPixel(g, left + (centred + static_cast<float>(k) * l.columnW), l.fieldSpaceH + base)
                            : rasterPixel(g, left + centred, l.fieldSpaceH + (static_cast<float>(k) * l.rowH + base));
        ::testing::AssertionResult r = showsText(s, m[i], p, headerRgb());
        if (!r) return r << "label \"" << texts[i] << "\"";
    }
    return ::testing::AssertionSuccess();
}

// Places the whole fleet with the key S, pressed with the pointer at the
// given point, until `placed` holds. A random placement may fail on a board
// that has room and S then tries anew, so S goes in bursts: once the fleet
// stands the battle phase has begun, where S does nothing.
inline bool placeFleet(const Game& game, Point pointer, const std::function<bool(const xtest::Shot&)>& placed) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        game.server().xdotool({"mousemove", std::to_string(pointer.x), std::to_string(pointer.y), "key", "s", "S",
                               "s", "S", "s"});
        if (game.waitFor(placed, 5s)) return true;
    }
    return false;
}

// Time given to the window to react to an event that must change nothing
// on screen, before the screen is looked at.
inline void settle() {
    std::this_thread::sleep_for(400ms);
}

}  // namespace wt

#endif
