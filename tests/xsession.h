#ifndef BATTLESHIPS_TESTS_XSESSION_H
#define BATTLESHIPS_TESTS_XSESSION_H

// Helpers for tests of the real programs: a private Xvfb, child processes
// with captured output, xdotool and screenshots read back as pixels.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace xtest {

// The folder of the built programs (game, launcher, launcher.xml).
std::string buildDir();

// A child process with its standard output and error captured in files.
class Process {
public:
    // Starts argv[0] (a path) with the given arguments in folder cwd, with
    // DISPLAY set to display (left as is when empty).
    Process(const std::vector<std::string>& argv, const std::string& cwd,
            const std::string& display);
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    // Kills the process if it still runs.
    ~Process();

    pid_t pid() const { return pid_; }
    // True while the process has not ended.
    bool running();
    // Waits up to timeout for the end; true when it ended.
    bool wait(std::chrono::milliseconds timeout);
    // The exit status, or -1 (killed by a signal or still running).
    int exitStatus() const { return status_; }
    // Whether it ended by a signal.
    bool signalled() const { return signalled_; }
    void kill();
    std::string out() const;
    std::string err() const;
    // Waits until standard output contains text; true when it does.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    bool ended_ = false;
    int status_ = -1;
    bool signalled_ = false;
    std::string outPath_;
    std::string errPath_;
};

// A private X server (Xvfb, 1920 x 1080 x 24) on a display number it picks
// itself, so tests may run side by side.
class XServer {
public:
    XServer(int width = 1920, int height = 1080);
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    ~XServer();

    bool ok() const { return !display_.empty(); }
    // ":N"
    const std::string& display() const { return display_; }

    // Runs a command with DISPLAY set and waits for it; its exit status.
    int run(const std::vector<std::string>& argv, std::string* output = nullptr) const;
    // xdotool with these arguments.
    int xdotool(const std::vector<std::string>& args, std::string* output = nullptr) const;
    // Moves the pointer and clicks button (1 left, 2 middle, 3 right).
    void click(int x, int y, int button = 1) const;
    void move(int x, int y) const;
    void key(const std::string& name) const;

private:
    pid_t pid_ = -1;
    std::string display_;
};

// A screenshot of the whole screen.
struct Rgb {
    int r, g, b;
};

class Shot {
public:
    // Takes the root window of the server.
    explicit Shot(const XServer& server);
    bool ok() const { return width_ > 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const;
    // Saves it as PNG (for looking at it).
    bool savePng(const XServer& server, const std::string& path) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<unsigned char> data_;
};

// True when every channel is within tolerance.
bool near(const Rgb& a, const Rgb& b, int tolerance = 3);

// Polls until the condition holds or the timeout passes.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));

// A fresh temporary folder.
std::string tempDir();

// The whole file, or "" when it cannot be read.
std::string readFile(const std::string& path);
// The text split at its line ends, without them.
std::vector<std::string> lines(const std::string& text);

}  // namespace xtest

#endif
