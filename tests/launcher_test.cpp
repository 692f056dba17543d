// Tests of the real launcher on a private X server: the dialog is driven with
// xdotool, and a stand-in "game" script records how the launcher started it.

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "xsession.h"

#include <X11/Xlib.h>

namespace {

using xtest::readFile;
using xtest::lines;

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kStartLine = "Launcher executing game...";

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Records its arguments one per line, its pid, folder and display, prints a
// line of its own and ends. The file "args" appears complete or not at all.
const char* const kStandInGame = R"(#!/bin/sh
for a in "$0" "$@"; do printf '%s\n' "$a"; done > args.part
echo $$ > pid
pwd > cwd
printf '%s\n' "$DISPLAY" > display
echo "stand-in game ran"
mv args.part args
)";

// A temporary folder for one run of the launcher, removed afterwards.
class Folder {
public:
    Folder() : path_(xtest::tempDir()) {}
    ~Folder() { fs::remove_all(path_); }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    void addForm() const {
        fs::copy_file(xtest::buildDir() + "/launcher.xml", file("launcher.xml"));
    }
    void addStandInGame(bool executable = true) const {
        writeFile(file("game"), kStandInGame);
        chmod(file("game").c_str(), executable ? 0755 : 0644);
    }
    bool gameRan() const { return fs::exists(file("args")); }
    std::vector<std::string> gameArgs() const { return lines(readFile(file("args"))); }

private:
    std::string path_;
};

// The window manager's close button: a WM_DELETE_WINDOW message. libX11 is
// loaded at run time since the tests otherwise don't link against it.
bool askToClose(const std::string& display, unsigned long window) {
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (x11 == nullptr) return false;
    auto openDisplay = reinterpret_cast<Display* (*)(const char*)>(dlsym(x11, "XOpenDisplay"));
    auto internAtom = reinterpret_cast<Atom (*)(Display*, const char*, int)>(dlsym(x11, "XInternAtom"));
    auto sendEvent =
        reinterpret_cast<int (*)(Display*, Window, int, long, XEvent*)>(dlsym(x11, "XSendEvent"));
    auto sync = reinterpret_cast<int (*)(Display*, int)>(dlsym(x11, "XSync"));
    auto closeDisplay = reinterpret_cast<int (*)(Display*)>(dlsym(x11, "XCloseDisplay"));
    bool sent = false;
    if (openDisplay && internAtom && sendEvent && sync && closeDisplay) {
        if (Display* d = openDisplay(display.c_str())) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = window;
            event.xclient.message_type = internAtom(d, "WM_PROTOCOLS", 0);
            event.xclient.format = 32;
            event.xclient.data.l[0] = static_cast<long>(internAtom(d, "WM_DELETE_WINDOW", 0));
            event.xclient.data.l[1] = CurrentTime;
            sent = sendEvent(d, window, 0, NoEventMask, &event) != 0;
            sync(d, 0);
            closeDisplay(d);
        }
    }
    dlclose(x11);
    return sent;
}

// Waits for the visible window of this title and asks it to close.
bool closeWindowTitled(const xtest::XServer& server, const std::string& title) {
    std::string found;
    if (!xtest::eventually(
            [&] { return server.xdotool({"search", "--onlyvisible", "--name", "^" + title + "$"}, &found) == 0; }))
        return false;
    if (!askToClose(server.display(), std::stoul(lines(found).front()))) return false;
    return xtest::eventually(
        [&] { return server.xdotool({"search", "--onlyvisible", "--name", "^" + title + "$"}) != 0; });
}

// What the launcher's standard error holds besides its own lines: newer
// gdk-pixbuf loads images through glycin, whose loaders run in bubblewrap's
// sandbox. Where bubblewrap cannot run (a chroot, a container) glycin says
// so as it loads an image (the window's icon; on GTK 3 the message boxes'
// too): a true notice of the platform's, which the player sees there and
// which the launcher does not hide. It is taken out only there; nowhere
// may anything but the launcher's own lines appear.
std::string withoutSandboxNotice(std::string err) {
    const std::string notice =
        "WARNING: Glycin running without sandbox. Bubblewrap (bwrap) doesn't work in the environment.\n";
    if (err.find(notice) == std::string::npos) return err;
    static const bool sandboxRuns =
        std::system("bwrap --ro-bind / / --dev /dev --proc /proc true >/dev/null 2>&1") == 0;
    if (sandboxRuns) return err;
    for (auto at = err.find(notice); at != std::string::npos; at = err.find(notice, at))
        err.erase(at, notice.size());
    return err;
}

// The launcher running on its own X server in its own folder.
class LauncherRun {
public:
    // environment: one NAME=value for the launcher, if any.
    explicit LauncherRun(const Folder& folder, const std::string& environment = "")
        : launcher_(environment.empty()
                        ? std::vector<std::string>{xtest::buildDir() + "/launcher"}
                        : std::vector<std::string>{"/usr/bin/env", environment, xtest::buildDir() + "/launcher"},
                    folder.path(), server_.display()) {}

    xtest::XServer& server() { return server_; }
    xtest::Process& process() { return launcher_; }
    // Standard error as the launcher wrote it, the platform's notice aside.
    std::string err() const { return withoutSandboxNotice(launcher_.err()); }

    // Waits for the dialog on the screen; false when it doesn't appear.
    bool findDialog() {
        std::string found;
        if (!xtest::eventually([&] {
                return server_.xdotool({"search", "--onlyvisible", "--name", "^Battleships$"},
                                       &found) == 0;
            }))
            return false;
        window_ = lines(found).front();
        std::string shell;
        server_.xdotool({"getwindowgeometry", "--shell", window_}, &shell);
        for (const std::string& line : lines(shell)) {
            const auto eq = line.find('=');
            if (eq == std::string::npos) continue;
            const std::string key = line.substr(0, eq);
            const int value = std::stoi(line.substr(eq + 1));
            if (key == "X") x_ = value;
            if (key == "Y") y_ = value;
            if (key == "WIDTH") w_ = value;
            if (key == "HEIGHT") h_ = value;
        }
        return w_ > 0 && h_ > 0;
    }

    bool dialogShown() {
        return server_.xdotool({"search", "--onlyvisible", "--name", "^Battleships$"}) == 0;
    }

    // The message box of this title: waits for it, then closes it as a
    // window manager would; false when it never showed.
    bool closeMessage(const std::string& title) { return closeWindowTitled(server_, title); }

    // Fills the six entries in their order on the form, starting from the
    // first one, which has the focus when the dialog opens; the focus ends on
    // the difficulty box.
    void typeEntries(const std::vector<std::string>& texts) {
        focus();
        for (const std::string& text : texts) {
            server_.key("ctrl+a");
            if (text.empty())
                server_.key("BackSpace");
            else
                server_.xdotool({"type", "--delay", "20", "--", text});
            server_.key("Tab");
        }
    }

    // With the difficulty box focused: Up chooses Easy, Down Hard.
    void chooseDifficulty(const std::string& key) { server_.key(key); }

    // The start button sits in the dialog's bottom-right corner.
    void clickStart() { server_.click(x_ + w_ - 50, y_ + h_ - 30); }

    unsigned long window() const { return std::stoul(window_); }
    int width() const { return w_; }
    int height() const { return h_; }

private:
    void focus() { server_.xdotool({"windowfocus", "--sync", window_}); }

    xtest::XServer server_;
    xtest::Process launcher_;
    std::string window_;
    int x_ = 0, y_ = 0, w_ = 0, h_ = 0;
};

std::vector<std::string> expectedArgs(std::vector<std::string> args) {
    args.insert(args.begin(), "./game");
    return args;
}

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.addForm();
        folder_.addStandInGame();
    }

    // Presses start and waits for the stand-in game to end.
    void startAndWaitForGame(LauncherRun& run) {
        run.clickStart();
        ASSERT_TRUE(run.process().wait(10s)) << "the game did not start and end";
        ASSERT_TRUE(folder_.gameRan()) << "stdout: " << run.process().out()
                                       << "\nstderr: " << run.process().err();
    }

    Folder folder_;
};

TEST_F(LauncherTest, DefaultsAndHardPresetStartTheGameInTheSameProcess) {
    LauncherRun run(folder_);
    ASSERT_TRUE(run.server().ok());
    ASSERT_TRUE(run.findDialog()) << run.process().err();
    startAndWaitForGame(run);

    EXPECT_EQ(folder_.gameArgs(), expectedArgs({"14", "14", "2", "3", "4", "3", "1"}));
    // execv keeps the process, its folder, environment and streams, and the
    // launcher's line is flushed before the game writes anything.
    EXPECT_EQ(readFile(folder_.file("pid")), std::to_string(run.process().pid()) + "\n");
    EXPECT_EQ(fs::canonical(lines(readFile(folder_.file("cwd"))).front()), fs::canonical(folder_.path()));
    EXPECT_EQ(readFile(folder_.file("display")), run.server().display() + "\n");
    EXPECT_EQ(run.process().out(), kStartLine + "\nstand-in game ran\n");
    EXPECT_EQ(run.err(), "");
    EXPECT_EQ(run.process().exitStatus(), 0);
}

TEST_F(LauncherTest, TypedValuesWithEasyReachTheGame) {
    LauncherRun run(folder_);
    ASSERT_TRUE(run.findDialog()) << run.process().err();
    run.typeEntries({"10", "10", "1", "1", "1", "1"});
    run.chooseDifficulty("Up");
    startAndWaitForGame(run);

    EXPECT_EQ(folder_.gameArgs(), expectedArgs({"10", "10", "1", "1", "1", "1", "0"}));
    EXPECT_EQ(run.process().out(), kStartLine + "\nstand-in game ran\n");
}

TEST_F(LauncherTest, TextsArePassedExactlyAsTyped) {
    LauncherRun run(folder_);
    ASSERT_TRUE(run.findDialog()) << run.process().err();
    // Blanks, letters, signs, leading zeros and an empty entry; the
    // difficulty goes Easy and back to Hard.
    run.typeEntries({" 8x", "", "-3", "007", "abc", "2 "});
    run.chooseDifficulty("Up");
    run.chooseDifficulty("Down");
    startAndWaitForGame(run);

    EXPECT_EQ(readFile(folder_.file("args")), "./game\n 8x\n\n-3\n007\nabc\n2 \n1\n");
}

TEST_F(LauncherTest, ABoardTheGameWouldRefuseIsRefusedInTheFormThatKeepsItsTexts) {
    LauncherRun run(folder_);
    ASSERT_TRUE(run.findDialog()) << run.process().err();
    // Read as the game reads them: "100000abc" is 100000.
    run.typeEntries({"100000", "100000abc", "2", "3", "4", "3"});
    for (int attempt = 1; attempt <= 2; ++attempt) {
        run.clickStart();
        ASSERT_TRUE(run.closeMessage("Board too large")) << "no message box, attempt " << attempt;
        const std::vector<std::string> err = lines(run.err());
        ASSERT_EQ(err.size(), static_cast<size_t>(attempt)) << run.process().err();
        EXPECT_EQ(err.back().rfind("launcher: a board of 100000 x 100000 cells needs about ", 0), 0u) << err.back();
        EXPECT_EQ(run.process().out(), "");
        EXPECT_FALSE(folder_.gameRan());
        EXPECT_TRUE(run.dialogShown());
    }
    // A board the game can hold goes to it as typed. The focus went from the
    // button back to the first entry, seven widgets before it.
    for (int i = 0; i < 7; ++i) run.server().key("shift+Tab");
    run.typeEntries({"40", "1e5", "2", "3", "4", "3"});
    startAndWaitForGame(run);
    EXPECT_EQ(folder_.gameArgs(), expectedArgs({"40", "1e5", "2", "3", "4", "3", "1"}));
    EXPECT_EQ(run.process().out(), kStartLine + "\nstand-in game ran\n");
}

TEST(LauncherWithoutGame, FailedStartIsReportedAndTheButtonWorksAgain) {
    Folder folder;
    folder.addForm();
    LauncherRun run(folder);
    ASSERT_TRUE(run.findDialog()) << run.process().err();

    // No game at all: a line on standard error and a message box over the
    // form, which takes no click while the box is open.
    run.clickStart();
    ASSERT_TRUE(xtest::eventually([&] { return lines(run.err()).size() == 1; }))
        << run.process().err();
    EXPECT_EQ(run.process().out(), kStartLine + "\n");
    std::string err = run.err();
    EXPECT_NE(err.find("./game"), std::string::npos) << err;
    EXPECT_NE(err.find("No such file or directory"), std::string::npos) << err;
    ASSERT_TRUE(xtest::eventually([&] {
        return run.server().xdotool({"search", "--onlyvisible", "--name", "^Cannot start the game$"}) == 0;
    })) << "no message box";
    run.clickStart();
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(lines(run.process().out()).size(), 1u) << "the form took a click under its message box";
    ASSERT_TRUE(run.closeMessage("Cannot start the game"));
    EXPECT_TRUE(run.process().running());
    EXPECT_TRUE(run.dialogShown());

    // Pressed again, it tries again.
    run.clickStart();
    ASSERT_TRUE(xtest::eventually([&] { return lines(run.err()).size() == 2; }))
        << run.process().err();
    EXPECT_EQ(run.process().out(), kStartLine + "\n" + kStartLine + "\n");
    ASSERT_TRUE(run.closeMessage("Cannot start the game"));
    EXPECT_TRUE(run.process().running());

    // A game that can't be executed.
    folder.addStandInGame(false);
    run.clickStart();
    ASSERT_TRUE(xtest::eventually([&] { return lines(run.err()).size() == 3; }))
        << run.process().err();
    err = lines(run.err()).back();
    EXPECT_NE(err.find("./game"), std::string::npos) << err;
    EXPECT_NE(err.find("Permission denied"), std::string::npos) << err;
    EXPECT_EQ(lines(run.process().out()).size(), 3u);
    ASSERT_TRUE(run.closeMessage("Cannot start the game"));
    EXPECT_TRUE(run.dialogShown());
    EXPECT_FALSE(folder.gameRan());

    // Once the game is there, the same dialog starts it.
    folder.addStandInGame(true);
    run.clickStart();
    ASSERT_TRUE(run.process().wait(10s));
    EXPECT_EQ(folder.gameArgs(), expectedArgs({"14", "14", "2", "3", "4", "3", "1"}));
    EXPECT_EQ(lines(run.process().out()),
              std::vector<std::string>({kStartLine, kStartLine, kStartLine, kStartLine,
                                        "stand-in game ran"}));
    EXPECT_EQ(run.process().exitStatus(), 0);
}

TEST_F(LauncherTest, ClosingTheWindowEndsWithStatusZeroAndNoGame) {
    // An icon theme that holds the game's icon, as the installed package does.
    const std::string apps = folder_.file("share/icons/hicolor/48x48/apps");
    fs::create_directories(apps);
    fs::copy_file(xtest::buildDir() + "/icons/48x48/battleships.png", apps + "/battleships.png");
    LauncherRun run(folder_, "XDG_DATA_DIRS=" + folder_.file("share") + ":/usr/share");
    ASSERT_TRUE(run.findDialog()) << run.process().err();
    std::string icon;
    run.server().run({"xprop", "-id", std::to_string(run.window()), "WM_CLASS", "_NET_WM_ICON"}, &icon);
    EXPECT_NE(icon.find("Icon (48 x 48)"), std::string::npos) << "the window has not the game's icon:\n"
                                                            << icon.substr(0, 200);
    // The game's window's class: one application to the desktop.
    EXPECT_EQ(icon.rfind("WM_CLASS(STRING) = \"battleships\", \"Battleships\"\n", 0), 0u) << icon.substr(0, 200);
    ASSERT_TRUE(askToClose(run.server().display(), run.window()));

    ASSERT_TRUE(run.process().wait(10s)) << "the launcher is still running";
    EXPECT_FALSE(run.process().signalled());
    EXPECT_EQ(run.process().exitStatus(), 0);
    EXPECT_EQ(run.process().out(), "");
    EXPECT_EQ(run.err(), "");
    EXPECT_FALSE(folder_.gameRan());
}

// The window's properties as a form written for GTK 2 holds them, which GTK 3
// has not: the dialog opens all the same, without a word on standard error.
TEST(LauncherGtk2Form, WindowPropertiesGtk3DroppedOpenTheDialogSilently) {
    Folder folder;
    std::string form = readFile(xtest::buildDir() + "/launcher.xml");
    const std::string resizable = "<property name=\"resizable\">False</property>";
    const auto at = form.find(resizable);
    ASSERT_NE(at, std::string::npos);
    form.replace(at, resizable.size(),
                 "<property name=\"allow_grow\">False</property><property name=\"allow_shrink\">False</property>");
    writeFile(folder.file("launcher.xml"), form);
    LauncherRun run(folder);
    ASSERT_TRUE(run.findDialog()) << run.process().err();
    // allow_grow is GTK 2's resizable: the window manager is told a fixed size.
    std::string hints;
    run.server().run({"xprop", "-id", std::to_string(run.window()), "WM_NORMAL_HINTS"}, &hints);
    const std::string size = std::to_string(run.width()) + " by " + std::to_string(run.height());
    EXPECT_NE(hints.find("minimum size: " + size), std::string::npos) << hints;
    EXPECT_NE(hints.find("maximum size: " + size), std::string::npos) << hints;
    ASSERT_TRUE(askToClose(run.server().display(), run.window()));
    ASSERT_TRUE(run.process().wait(10s));
    EXPECT_EQ(run.process().exitStatus(), 0);
    EXPECT_EQ(run.err(), "") << form.substr(at, 200);
}

// A form that can't be used ends the launcher at once with one line naming
// what is wrong, instead of a main loop without a window.
struct BrokenForm {
    const char* name;
    std::function<void(const Folder&)> prepare;
    std::vector<std::string> mentioned;  // all in the one error line
};

void PrintTo(const BrokenForm& form, std::ostream* os) {
    *os << form.name;
}

void writeEditedForm(const Folder& folder, const std::string& from, const std::string& to) {
    std::string form = readFile(xtest::buildDir() + "/launcher.xml");
    const auto at = form.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    form.replace(at, from.size(), to);
    writeFile(folder.file("launcher.xml"), form);
}

class LauncherBrokenForm : public ::testing::TestWithParam<BrokenForm> {};

TEST_P(LauncherBrokenForm, ExitsWithStatusOneAndOneErrorLine) {
    Folder folder;
    folder.addStandInGame();
    GetParam().prepare(folder);
    xtest::XServer server;
    ASSERT_TRUE(server.ok());
    xtest::Process launcher({xtest::buildDir() + "/launcher"}, folder.path(), server.display());

    // The line comes at once; the launcher ends when its message box closes.
    ASSERT_TRUE(xtest::eventually(
        [&] { return !withoutSandboxNotice(launcher.err()).empty() || !launcher.running(); }));
    EXPECT_TRUE(launcher.running()) << "no message box to read the reason in";
    EXPECT_TRUE(closeWindowTitled(server, "Cannot open the settings"));
    ASSERT_TRUE(launcher.wait(10s)) << "the launcher is still running";
    EXPECT_FALSE(launcher.signalled());
    EXPECT_EQ(launcher.exitStatus(), 1);
    EXPECT_EQ(launcher.out(), "");
    const std::vector<std::string> err = lines(withoutSandboxNotice(launcher.err()));
    ASSERT_EQ(err.size(), 1u) << launcher.err();
    for (const std::string& text : GetParam().mentioned)
        EXPECT_NE(err.front().find(text), std::string::npos) << err.front();
    EXPECT_FALSE(folder.gameRan());
}

INSTANTIATE_TEST_SUITE_P(
    Launcher, LauncherBrokenForm,
    ::testing::Values(
        BrokenForm{"Missing", [](const Folder&) {}, {"launcher.xml", "No such file or directory"}},
        BrokenForm{"Unreadable",
                   [](const Folder& f) { fs::create_directory(f.file("launcher.xml")); },
                   {"launcher.xml", "Is a directory"}},
        BrokenForm{"Empty", [](const Folder& f) { writeFile(f.file("launcher.xml"), ""); },
                   {"launcher.xml"}},
        BrokenForm{"Truncated",
                   [](const Folder& f) {
                       writeFile(f.file("launcher.xml"), "<glade-interface>\n  <widget");
                   },
                   {"launcher.xml", "line 2"}},
        BrokenForm{"WidgetWithoutId",
                   [](const Folder& f) {
                       writeFile(f.file("launcher.xml"),
                                 "<glade-interface>\n<widget class=\"GtkWindow\"/>\n</glade-interface>\n");
                   },
                   {"launcher.xml", "line 2"}},
        BrokenForm{"NoWindow",
                   [](const Folder& f) { writeEditedForm(f, "id=\"window1\"", "id=\"window\""); },
                   {"\"window1\""}},
        BrokenForm{"NoButton",
                   [](const Folder& f) { writeEditedForm(f, "id=\"button1\"", "id=\"button2\""); },
                   {"\"button1\""}},
        BrokenForm{"NoDestroyerEntry",
                   [](const Folder& f) {
                       writeEditedForm(f, "id=\"destroyer-input\"", "id=\"destroyers\"");
                   },
                   {"\"destroyer-input\""}},
        BrokenForm{"WidthIsNotAnEntry",
                   [](const Folder& f) {
                       writeEditedForm(f, "class=\"GtkEntry\" id=\"fieldW-input\"",
                                       "class=\"GtkLabel\" id=\"fieldW-input\"");
                   },
                   {"\"fieldW-input\"", "GtkEntry"}},
        BrokenForm{"DifficultyWithOneItem",
                   [](const Folder& f) {
                       writeEditedForm(f, "<property name=\"items\" translatable=\"yes\">Easy\nHard</property>",
                                       "<property name=\"items\" translatable=\"yes\">Easy</property>");
                   },
                   {"\"diff-input\"", "two items"}},
        BrokenForm{"DifficultyWithoutItems",
                   [](const Folder& f) {
                       writeEditedForm(f, "<property name=\"items\" translatable=\"yes\">Easy\nHard</property>",
                                       "");
                   },
                   {"\"diff-input\""}},
        // libglade puts a label in its place, the layer refuses the form.
        BrokenForm{"UnknownClass",
                   [](const Folder& f) {
                       writeEditedForm(f, "class=\"GtkEntry\" id=\"fieldH-input\"", "class=\"GtkFoo\" id=\"fieldH-input\"");
                   },
                   {"launcher.xml"}}),
    [](const ::testing::TestParamInfo<BrokenForm>& info) { return info.param.name; });

#ifdef BATTLESHIPS_LAUNCHER_ON_LAYER
// A form of the fuzzer's seed corpus as the launcher's.
std::function<void(const Folder&)> keptForm(const std::string& name) {
    return [name](const Folder& f) {
        writeFile(f.file("launcher.xml"), readFile(std::string(BATTLESHIPS_SOURCE_DIR) + "/fuzz/corpus/form/" + name));
    };
}

// Forms that libglade builds with GTK's complaints on standard error, or
// half, or not at all: the layer refuses them before GTK sees them.
INSTANTIATE_TEST_SUITE_P(
    LauncherOnLayer, LauncherBrokenForm,
    ::testing::Values(
        BrokenForm{"NotAWidgetClass",
                   [](const Folder& f) {
                       writeEditedForm(f, "class=\"GtkEntry\" id=\"fieldH-input\"",
                                       "class=\"GtkAdjustment\" id=\"fieldH-input\"");
                   },
                   {"line 93", "\"GtkAdjustment\" is not a widget class"}},
        BrokenForm{"AbstractClass",
                   [](const Folder& f) {
                       writeEditedForm(f, "class=\"GtkEntry\" id=\"fieldH-input\"", "class=\"GtkBin\" id=\"fieldH-input\"");
                   },
                   {"\"GtkBin\" is an abstract class"}},
        BrokenForm{"BadValue",
                   [](const Folder& f) {
                       writeEditedForm(f, ">18</property>", ">lots</property>");
                   },
                   {"line 10", "\"lots\"", "\"border-width\""}},
        BrokenForm{"SignalTheClassLacks",
                   [](const Folder& f) {
                       writeEditedForm(f, "<property name=\"layout_style\">",
                                       "<signal name=\"clicked\" handler=\"h\"/><property name=\"layout_style\">");
                   },
                   {"\"clicked\" is no signal of \"buttonbox1\""}},
        BrokenForm{"TwoChildrenInAWindow",
                   [](const Folder& f) {
                       writeEditedForm(f, "<child>", "<child><widget class=\"GtkLabel\" id=\"x\"/></child><child>");
                   },
                   {"\"window1\"", "only one child"}},
        // Forms the fuzzer found, kept in its seed corpus: GLib spoke first
        // of the signal's name; GtkBuilder took the class for GtkComboBox.
        BrokenForm{"AcceleratorWithAnInvalidSignalName", keptForm("accelerator-invalid-signal"), {"\"cli#ked\""}},
        BrokenForm{"ClassNameInTheWrongCase", keptForm("class-misspelt"), {"\"GtkComboBOx\""}}),
    [](const ::testing::TestParamInfo<BrokenForm>& info) { return info.param.name; });
#endif

TEST(LauncherRealGame, StartsTheBuiltGameWithEasy) {
    const std::string game = xtest::buildDir() + "/game";
    ASSERT_TRUE(fs::exists(game)) << game << " has not been built";
    Folder folder;
    folder.addForm();
    fs::copy_file(game, folder.file("game"));
    LauncherRun run(folder);
    ASSERT_TRUE(run.findDialog()) << run.process().err();
    run.typeEntries({"10", "10", "1", "1", "1", "1"});
    run.chooseDifficulty("Up");
    run.clickStart();

    ASSERT_TRUE(run.process().waitForOutput("Computer difficulty is set to:", 10s))
        << "stdout: " << run.process().out() << "\nstderr: " << run.process().err();
    const std::vector<std::string> out = lines(run.process().out());
    ASSERT_GE(out.size(), 3u);
    EXPECT_EQ(out[0], kStartLine);
    EXPECT_EQ(out[1], "Starting Battleship game...");
    EXPECT_EQ(out[2], "Computer difficulty is set to: Easy");
    EXPECT_TRUE(run.process().running()) << run.process().err();
}

}  // namespace
