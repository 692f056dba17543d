#include "xsession.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#ifndef BATTLESHIPS_BUILD_DIR
#define BATTLESHIPS_BUILD_DIR "."
#endif

namespace xtest {

std::string buildDir() {
    return BATTLESHIPS_BUILD_DIR;
}

std::string tempDir() {
    char templ[] = "/tmp/battleships-test-XXXXXX";
    const char* dir = mkdtemp(templ);
    return dir != nullptr ? dir : "/tmp";
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

namespace {

pid_t spawn(const std::vector<std::string>& argv, const std::string& cwd,
            const std::string& display, int outFd, int errFd, int extraFd = -1) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    setpgid(0, 0);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    int devnull = open("/dev/null", O_RDONLY);
    dup2(devnull, 0);
    if (outFd >= 0) dup2(outFd, 1);
    if (errFd >= 0) dup2(errFd, 2);
    for (int fd = 3; fd < 256; ++fd)
        if (fd != extraFd) close(fd);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

}  // namespace

Process::Process(const std::vector<std::string>& argv, const std::string& cwd,
                 const std::string& display) {
    const std::string dir = tempDir();
    outPath_ = dir + "/stdout";
    errPath_ = dir + "/stderr";
    int outFd = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int errFd = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_ = spawn(argv, cwd, display, outFd, errFd);
    close(outFd);
    close(errFd);
}

Process::~Process() {
    kill();
    // The captured output lives in a folder of its own; leave nothing behind.
    unlink(outPath_.c_str());
    unlink(errPath_.c_str());
    rmdir(outPath_.substr(0, outPath_.rfind('/')).c_str());
}

bool Process::running() {
    if (ended_ || pid_ <= 0) return false;
    int status = 0;
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        ended_ = true;
        if (WIFEXITED(status)) status_ = WEXITSTATUS(status);
        signalled_ = WIFSIGNALED(status);
        return false;
    }
    return r == 0;
}

bool Process::wait(std::chrono::milliseconds timeout) {
    return eventually([this] { return !running(); }, timeout);
}

void Process::kill() {
    if (pid_ > 0 && running()) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        ended_ = true;
        signalled_ = true;
    }
}

std::string Process::out() const {
    return readFile(outPath_);
}

std::string Process::err() const {
    return readFile(errPath_);
}

bool Process::waitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
    return eventually([&] { return out().find(text) != std::string::npos; }, timeout);
}

XServer::XServer(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    int devnull = open("/dev/null", O_WRONLY);
    pid_ = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                  "-noreset", "-nolisten", "tcp"},
                 "", "", devnull, devnull, fds[1]);
    close(devnull);
    close(fds[1]);
    // Xvfb writes the display number it chose once it accepts connections.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
}

XServer::~XServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 50 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (waitpid(pid_, &status, WNOHANG) == 0) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
    }
}

int XServer::run(const std::vector<std::string>& argv, std::string* output) const {
    const std::string dir = tempDir();
    const std::string outPath = dir + "/out";
    int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = spawn(argv, "", display_, outFd, outFd);
    close(outFd);
    int status = 0;
    waitpid(pid, &status, 0);
    if (output != nullptr) *output = readFile(outPath);
    unlink(outPath.c_str());
    rmdir(dir.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int XServer::xdotool(const std::vector<std::string>& args, std::string* output) const {
    std::vector<std::string> argv = {"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return run(argv, output);
}

void XServer::move(int x, int y) const {
    xdotool({"mousemove", std::to_string(x), std::to_string(y)});
}

void XServer::click(int x, int y, int button) const {
    xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", std::to_string(button)});
}

void XServer::key(const std::string& name) const {
    xdotool({"key", name});
}

Shot::Shot(const XServer& server) {
    std::string ppm;
    server.run({"import", "-window", "root", "-depth", "8", "ppm:-"}, &ppm);
    // P6 <w> <h> <max> then raw RGB.
    std::istringstream in(ppm);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    if (magic != "P6" || w <= 0 || h <= 0 || max != 255) return;
    in.get();
    const size_t size = static_cast<size_t>(w) * h * 3;
    const size_t offset = static_cast<size_t>(in.tellg());
    if (ppm.size() < offset + size) return;
    data_.assign(ppm.begin() + offset, ppm.begin() + offset + size);
    width_ = w;
    height_ = h;
}

Rgb Shot::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {-1, -1, -1};
    const size_t i = (static_cast<size_t>(y) * width_ + x) * 3;
    return {data_[i], data_[i + 1], data_[i + 2]};
}

bool Shot::savePng(const XServer& server, const std::string& path) const {
    return server.run({"import", "-window", "root", path}) == 0;
}

bool near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace xtest
