// Tests of the installed game: the install tree of `cmake --install`, the
// Debian package that cpack builds, and (as root) that package installed
// system-wide, started from another folder, and removed again.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "xsession.h"

#ifndef BATTLESHIPS_SOURCE_DIR
#error "BATTLESHIPS_SOURCE_DIR must name the source folder"
#endif

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kPackage = "battleships";

// What an install puts under its prefix.
const std::vector<std::string> kInstalled = {
    "bin/battleships",
    "lib/battleships/game",
    "lib/battleships/launcher",
    "lib/battleships/launcher.xml",
    "share/applications/battleships.desktop",
    "share/icons/hicolor/scalable/apps/battleships.svg",
    "share/icons/hicolor/48x48/apps/battleships.png",
    "share/icons/hicolor/256x256/apps/battleships.png",
};

// The start-up lines of the game, in their order, after the launcher's own.
const std::vector<std::string> kStartLines = {
    "Launcher executing game...", "Starting Battleship game...",
    "Computer difficulty is set to: Hard", "OpenGL initializing...", "Rendering game...",
};

std::string sourceDir() {
    return BATTLESHIPS_SOURCE_DIR;
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

struct Result {
    int status = -1;
    std::string output;  // standard output and error together
};

// Runs a command to its end in folder cwd (unchanged when empty).
Result run(const std::vector<std::string>& argv, const std::string& cwd = "") {
    Result result;
    int fds[2];
    if (pipe(fds) != 0) return result;
    const pid_t pid = fork();
    if (pid == 0) {
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        const int devnull = open("/dev/null", O_RDONLY);
        dup2(devnull, 0);
        dup2(fds[1], 1);
        dup2(fds[1], 2);
        for (int fd = 3; fd < 256; ++fd) close(fd);
        setenv("DEBIAN_FRONTEND", "noninteractive", 1);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(fds[1]);
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) result.output.append(buffer, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string describe(const std::vector<std::string>& argv, const Result& r) {
    std::string text;
    for (const std::string& a : argv) text += a + " ";
    return text + "-> exit " + std::to_string(r.status) + "\n" + r.output;
}

// Width and height from a PNG's header; {0, 0} when it is not a PNG.
std::pair<int, int> pngSize(const std::string& path) {
    const std::string data = readFile(path);
    if (data.size() < 24 || data.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
        data.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    auto be32 = [&](size_t at) {
        int v = 0;
        for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(data[at + i]);
        return v;
    };
    return {be32(16), be32(20)};
}

std::string linkTarget(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::read_symlink(path, error);
    return error ? "" : target.string();
}

// A folder that is removed again at the end of the test.
class TempDir {
public:
    TempDir() : path_(xtest::tempDir()) {}
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct Geometry {
    int x = 0, y = 0, w = 0, h = 0;
};

// The first visible window whose whole name is `name`; false when there is
// none, or when the process that should show it has ended.
bool findWindow(const xtest::XServer& server, const std::string& name, xtest::Process& process, Geometry& g) {
    std::string found;
    bool shown = false;
    xtest::eventually(
        [&] {
            shown = server.xdotool({"search", "--onlyvisible", "--name", "^" + name + "$"}, &found) == 0;
            return shown || !process.running();
        },
        20s);
    if (!shown) return false;
    std::string shell;
    server.xdotool({"getwindowgeometry", "--shell", lines(found).front()}, &shell);
    for (const std::string& line : lines(shell)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const int value = std::stoi(line.substr(eq + 1));
        if (key == "X") g.x = value;
        if (key == "Y") g.y = value;
        if (key == "WIDTH") g.w = value;
        if (key == "HEIGHT") g.h = value;
    }
    return g.w > 0 && g.h > 0;
}

// Starts `command` in a fresh folder, as a desktop menu would, and plays the
// way in: the dialog of the launcher in `folder` appears, its button starts
// the game from that folder, and the key Q ends it.
void startsDialogThenGame(const std::string& command, const std::string& folder) {
    xtest::XServer server;
    ASSERT_TRUE(server.ok()) << "no Xvfb";
    TempDir elsewhere;
    xtest::Process process({command}, elsewhere.path(), server.display());
    const std::string proc = "/proc/" + std::to_string(process.pid());

    Geometry dialog;
    ASSERT_TRUE(findWindow(server, "Battleships", process, dialog))
        << "the dialog did not appear\nstdout: " << process.out() << "\nstderr: " << process.err();
    EXPECT_EQ(linkTarget(proc + "/exe"), folder + "/launcher");
    EXPECT_EQ(linkTarget(proc + "/cwd"), folder);

    // The start button sits in the dialog's bottom-right corner.
    server.click(dialog.x + dialog.w - 50, dialog.y + dialog.h - 30);
    ASSERT_TRUE(process.waitForOutput(kStartLines.back(), 20s))
        << "the game did not start\nstdout: " << process.out() << "\nstderr: " << process.err();
    EXPECT_EQ(linkTarget(proc + "/exe"), folder + "/game");

    const std::string out = process.out();
    size_t at = 0;
    for (const std::string& line : kStartLines) {
        const size_t found = out.find(line + "\n", at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << out;
        at = found + line.size();
    }

    Geometry game;
    ASSERT_TRUE(findWindow(server, "Battleship game", process, game))
        << "no game window\nstdout: " << process.out() << "\nstderr: " << process.err();
    server.move(game.x + game.w / 2, game.y + game.h / 2);
    server.key("q");
    ASSERT_TRUE(process.wait(20s)) << "the game did not end on Q\n" << process.out();
    EXPECT_EQ(process.exitStatus(), 0);
    EXPECT_NE(process.out().find("Exiting Battleship game...\n"), std::string::npos) << process.out();
}

// Builds the Debian package from the build folder into `into`; its path.
std::string buildPackage(const std::string& into) {
    const std::vector<std::string> argv = {BATTLESHIPS_CPACK, "-G", "DEB", "--config",
                                           xtest::buildDir() + "/CPackConfig.cmake", "-B", into};
    const Result r = run(argv, into);
    EXPECT_EQ(r.status, 0) << describe(argv, r);
    std::vector<std::string> debs;
    for (const auto& entry : fs::directory_iterator(into))
        if (entry.path().extension() == ".deb") debs.push_back(entry.path().string());
    EXPECT_EQ(debs.size(), 1u) << r.output;
    return debs.size() == 1 ? debs.front() : "";
}

std::string packageField(const std::string& deb, const std::string& field) {
    const Result r = run({"dpkg-deb", "-f", deb, field});
    std::string value = r.output;
    while (!value.empty() && value.back() == '\n') value.pop_back();
    return value;
}

bool packageInstalled() {
    const Result r = run({"dpkg-query", "-W", "-f=${Status}", kPackage});
    return r.status == 0 && r.output.find("installed") != std::string::npos &&
           r.output.find("not-installed") == std::string::npos;
}

// ---------------------------------------------------------------- tests

TEST(DesktopEntry, PassesDesktopFileValidateWithoutRemarks) {
    const std::vector<std::string> argv = {"desktop-file-validate", sourceDir() + "/data/battleships.desktop"};
    const Result r = run(argv);
    EXPECT_EQ(r.status, 0) << describe(argv, r);
    // Warnings and hints leave the exit status at 0.
    EXPECT_EQ(r.output, "") << describe(argv, r);
}

TEST(InstallTree, CommandStartsLauncherAndGameFromAnyFolder) {
    TempDir root;
    // Blanks and a quote: the command must hand the folder to the shell intact.
    const std::string prefix = root.path() + "/a prefix with 'blanks'";
    const std::vector<std::string> argv = {BATTLESHIPS_CMAKE, "--install", xtest::buildDir(), "--prefix", prefix};
    const Result r = run(argv);
    ASSERT_EQ(r.status, 0) << describe(argv, r);

    for (const std::string& file : kInstalled)
        EXPECT_TRUE(fs::is_regular_file(prefix + "/" + file)) << file;
    for (const char* program : {"bin/battleships", "lib/battleships/game", "lib/battleships/launcher"})
        EXPECT_EQ(access((prefix + "/" + program).c_str(), X_OK), 0) << program << " is not executable";

    startsDialogThenGame(prefix + "/bin/battleships", prefix + "/lib/battleships");
}

TEST(DebianPackage, HoldsProgramsMenuEntryAndIconsWithTheirDependencies) {
    TempDir out;
    const std::string deb = buildPackage(out.path());
    ASSERT_FALSE(deb.empty());

    EXPECT_EQ(packageField(deb, "Package"), kPackage);
    EXPECT_EQ(packageField(deb, "Version"), BATTLESHIPS_VERSION);
    EXPECT_EQ(packageField(deb, "Section"), "games");
    EXPECT_NE(packageField(deb, "Maintainer"), "");
    EXPECT_NE(packageField(deb, "Description"), "");
    const std::string depends = packageField(deb, "Depends");
    for (const char* library : {"libglut3", "libgl1", "libgtk2.0-0", "libglade2-0"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing in: " << depends;

    TempDir tree;
    const Result x = run({"dpkg-deb", "-x", deb, tree.path()});
    ASSERT_EQ(x.status, 0) << x.output;
    const std::string usr = tree.path() + "/usr/";
    for (const std::string& file : kInstalled) EXPECT_TRUE(fs::is_regular_file(usr + file)) << file;

    // The command goes to the folder the package installs, not a build path.
    EXPECT_NE(readFile(usr + "bin/battleships").find("cd '/usr/lib/battleships' "), std::string::npos)
        << readFile(usr + "bin/battleships");

    EXPECT_EQ(readFile(usr + "lib/battleships/launcher.xml"), readFile(sourceDir() + "/data/launcher.xml"));
    EXPECT_EQ(readFile(usr + "share/applications/battleships.desktop"),
              readFile(sourceDir() + "/data/battleships.desktop"));
    EXPECT_EQ(readFile(usr + "share/icons/hicolor/scalable/apps/battleships.svg"),
              readFile(sourceDir() + "/data/battleships.svg"));
    EXPECT_EQ(pngSize(usr + "share/icons/hicolor/48x48/apps/battleships.png"), std::make_pair(48, 48));
    EXPECT_EQ(pngSize(usr + "share/icons/hicolor/256x256/apps/battleships.png"), std::make_pair(256, 256));

    // The menu entry starts the command and names the icon the package holds.
    const std::string entry = readFile(usr + "share/applications/battleships.desktop");
    EXPECT_NE(entry.find("\nExec=battleships\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=battleships\n"), std::string::npos) << entry;
}

TEST(DebianPackage, InstallsStartsFromAnyFolderAndRemovesWithoutLeftovers) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root: installs the battleships package system-wide with apt-get";

    // Another run of this test, from another build folder, may be under way.
    const int lock = open("/tmp/battleships-package-test.lock", O_RDWR | O_CREAT, 0644);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    struct Unlock {
        int fd;
        ~Unlock() { close(fd); }
    } unlock{lock};

    if (packageInstalled()) {
        std::cout << "removing the battleships package installed before this test\n";
        const Result r = run({"apt-get", "purge", "-y", kPackage});
        ASSERT_EQ(r.status, 0) << r.output;
    }

    TempDir out;
    // apt's download user must be able to read the package.
    chmod(out.path().c_str(), 0755);
    const std::string deb = buildPackage(out.path());
    ASSERT_FALSE(deb.empty());

    // Whatever fails below, the package does not stay installed.
    struct Purge {
        ~Purge() {
            if (packageInstalled()) run({"apt-get", "purge", "-y", kPackage});
        }
    } purge;

    const std::vector<std::string> install = {"apt-get", "install", "-y", "./" + fs::path(deb).filename().string()};
    const Result installed = run(install, out.path());
    ASSERT_EQ(installed.status, 0) << describe(install, installed);
    ASSERT_TRUE(packageInstalled());

    const Result listed = run({"dpkg", "-L", kPackage});
    ASSERT_EQ(listed.status, 0) << listed.output;
    const std::vector<std::string> paths = lines(listed.output);
    const std::set<std::string> pathSet(paths.begin(), paths.end());
    for (const std::string& file : kInstalled) EXPECT_EQ(pathSet.count("/usr/" + file), 1u) << file;
    std::vector<std::string> files, folders;
    for (const std::string& path : paths) {
        if (path.empty() || path.front() != '/') continue;
        ASSERT_TRUE(fs::exists(path)) << "listed but not on disk: " << path;
        (fs::is_directory(path) ? folders : files).push_back(path);
    }

    startsDialogThenGame("/usr/bin/battleships", "/usr/lib/battleships");

    const std::vector<std::string> remove = {"apt-get", "remove", "-y", kPackage};
    const Result removed = run(remove);
    ASSERT_EQ(removed.status, 0) << describe(remove, removed);
    // Nothing kept, not even configuration files.
    const Result status = run({"dpkg-query", "-W", "-f=${Status}", kPackage});
    EXPECT_TRUE(status.status != 0 || status.output.find("not-installed") != std::string::npos)
        << status.output;

    for (const std::string& file : files)
        EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << "left behind: " << file;
    EXPECT_FALSE(fs::exists("/usr/lib/battleships"));
    // Shared folders such as /usr/share/icons stay for the packages that own
    // them or for files of their own.
    for (const std::string& folder : folders) {
        if (!fs::exists(folder)) continue;
        const bool owned = run({"dpkg", "-S", folder}).status == 0;
        EXPECT_TRUE(owned || !fs::is_empty(folder)) << "empty folder left behind: " << folder;
    }
}

}  // namespace
