// Tests of the installed game: the install tree of `cmake --install`, the
// Debian package that cpack builds, read from its contents, and (on CI, as
// root) that package installed system-wide, started from another folder, and
// removed again.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "xsession.h"

#ifndef BATTLESHIPS_SOURCE_DIR
#error "BATTLESHIPS_SOURCE_DIR must name the source folder"
#endif

namespace {

using xtest::readFile;
using xtest::lines;

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kPackage = "battleships";

// Where the command and the folder of game, launcher and launcher.xml go,
// under the prefix: `cmake --install` or Debian's layout for games.
struct Layout {
    std::string command;
    std::string folder;
};
const Layout kPrefixLayout = {"bin/battleships", "lib/battleships"};
const Layout kGamesLayout = {"games/battleships", "lib/games/battleships"};

// Every file an install puts under its prefix.
std::set<std::string> installedFiles(const Layout& layout) {
    return {
        layout.command,
        layout.folder + "/game",
        layout.folder + "/launcher",
        layout.folder + "/launcher.xml",
        "share/applications/battleships.desktop",
        "share/metainfo/battleships.metainfo.xml",
        "share/icons/hicolor/scalable/apps/battleships.svg",
        "share/icons/hicolor/48x48/apps/battleships.png",
        "share/icons/hicolor/256x256/apps/battleships.png",
        "share/man/man6/battleships.6.gz",
        "share/doc/battleships/copyright",
        "share/doc/battleships/changelog.gz",
    };
}

// The manual page's sections, as they head its rendered text.
const std::vector<std::string> kManualSections = {
    "NAME", "SYNOPSIS", "DESCRIPTION", "SETTINGS", "HOW TO PLAY", "GAME ARGUMENTS", "FILES", "EXIT STATUS", "SEE ALSO",
};

// The start-up lines of the game, in their order, after the launcher's own.
const std::vector<std::string> kStartLines = {
    "Launcher executing game...", "Starting Battleship game...",
    "Computer difficulty is set to: Hard", "OpenGL initializing...", "Rendering game...",
};

std::string sourceDir() {
    return BATTLESHIPS_SOURCE_DIR;
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

// The regular files under `root`, as paths relative to it.
std::set<std::string> regularFiles(const std::string& root) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), root).string());
    return files;
}

// True for a gzip file whose header holds no file name and no time, so that
// the same input always gives the same bytes.
bool gzipWithoutNameOrTime(const std::string& path) {
    const std::string data = readFile(path);
    return data.size() > 10 && data.compare(0, 2, "\x1f\x8b") == 0 && (data[3] & 0x08) == 0 &&
           data.compare(4, 4, std::string(4, '\0')) == 0;
}

// Lines that start with one of the tags, such as "E: " or "W: ".
std::string linesTagged(const std::string& text, const std::vector<std::string>& tags) {
    std::string found;
    for (const std::string& line : lines(text))
        for (const std::string& tag : tags)
            if (line.compare(0, tag.size(), tag) == 0) found += line + "\n";
    return found;
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

TEST(InstallTree, CommandStartsLauncherAndGameFromAnyFolder) {
    TempDir root;
    // Blanks and a quote: the command must hand the folder to the shell intact.
    const std::string prefix = root.path() + "/a prefix with 'blanks'";
    const std::vector<std::string> argv = {BATTLESHIPS_CMAKE, "--install", xtest::buildDir(), "--prefix", prefix};
    const Result r = run(argv);
    ASSERT_EQ(r.status, 0) << describe(argv, r);

    EXPECT_EQ(regularFiles(prefix), installedFiles(kPrefixLayout));
    for (const std::string& program : {kPrefixLayout.command, kPrefixLayout.folder + "/game",
                                       kPrefixLayout.folder + "/launcher"})
        EXPECT_EQ(access((prefix + "/" + program).c_str(), X_OK), 0) << program << " is not executable";

    startsDialogThenGame(prefix + "/" + kPrefixLayout.command, prefix + "/" + kPrefixLayout.folder);
}

// The package read from its contents, as Debian's tools see it; nothing is
// installed.
TEST(DebianPackage, HoldsTheGamesLayoutThatLintianAppstreamAndManAccept) {
    TempDir out;
    const std::string deb = buildPackage(out.path());
    ASSERT_FALSE(deb.empty());

    EXPECT_EQ(packageField(deb, "Package"), kPackage);
    EXPECT_EQ(packageField(deb, "Version"), BATTLESHIPS_VERSION);
    EXPECT_EQ(packageField(deb, "Section"), "games");
    EXPECT_NE(packageField(deb, "Maintainer"), "");
    // Debian 13 names some of them with a suffix (libglut3.12, libgtk2.0-0t64);
    // a launcher on the project's own libglade layer needs no libglade, one
    // on GTK 3 no GTK 2.
    const std::string depends = packageField(deb, "Depends");
    const char* const gtk = BATTLESHIPS_LAUNCHER_GTK3 ? "libgtk-3-0" : "libgtk2.0-0";
    for (const char* library : {"libglut3", "libgl1", gtk, "libxml2"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing in: " << depends;
    EXPECT_EQ(depends.find("libglade") == std::string::npos, bool(BATTLESHIPS_LAUNCHER_ON_LAYER)) << depends;
    EXPECT_EQ(depends.find(BATTLESHIPS_LAUNCHER_GTK3 ? "libgtk2" : "libgtk-3"), std::string::npos) << depends;

    // Errors and warnings only; the levels below stay for the maintainers.
    const std::vector<std::string> lintian = {"lintian", "--fail-on", "error,warning", deb};
    const Result linted = run(lintian);
    EXPECT_EQ(linted.status, 0) << describe(lintian, linted);
    EXPECT_EQ(linesTagged(linted.output, {"E: ", "W: "}), "") << describe(lintian, linted);

    TempDir tree;
    const Result x = run({"dpkg-deb", "-x", deb, tree.path()});
    ASSERT_EQ(x.status, 0) << x.output;
    const std::string usr = tree.path() + "/usr/";
    EXPECT_EQ(regularFiles(tree.path()), [] {
        std::set<std::string> files;
        for (const std::string& file : installedFiles(kGamesLayout)) files.insert("usr/" + file);
        if (BATTLESHIPS_LINTIAN_OVERRIDES) files.insert("usr/share/lintian/overrides/battleships");
        return files;
    }());

    // The command goes to the folder the package installs, not a build path.
    EXPECT_NE(readFile(usr + kGamesLayout.command).find("cd '/usr/" + kGamesLayout.folder + "' "), std::string::npos)
        << readFile(usr + kGamesLayout.command);

    EXPECT_EQ(readFile(usr + kGamesLayout.folder + "/launcher.xml"), readFile(sourceDir() + "/data/launcher.xml"));
    EXPECT_EQ(readFile(usr + "share/applications/battleships.desktop"),
              readFile(sourceDir() + "/data/battleships.desktop"));
    EXPECT_EQ(readFile(usr + "share/icons/hicolor/scalable/apps/battleships.svg"),
              readFile(sourceDir() + "/data/battleships.svg"));
    EXPECT_EQ(pngSize(usr + "share/icons/hicolor/48x48/apps/battleships.png"), std::make_pair(48, 48));
    EXPECT_EQ(pngSize(usr + "share/icons/hicolor/256x256/apps/battleships.png"), std::make_pair(256, 256));

    // The menu entry starts the command and names the icon the package holds.
    const std::string entry = usr + "share/applications/battleships.desktop";
    EXPECT_NE(readFile(entry).find("\nExec=battleships\n"), std::string::npos) << readFile(entry);
    EXPECT_NE(readFile(entry).find("\nIcon=battleships\n"), std::string::npos) << readFile(entry);
    // ... and the class of both windows, so the desktop ties them to it.
    EXPECT_NE(readFile(entry).find("\nStartupWMClass=Battleships\n"), std::string::npos) << readFile(entry);
    const Result desktop = run({"desktop-file-validate", entry});
    // Warnings and hints leave the exit status at 0.
    EXPECT_EQ(desktop.status, 0) << desktop.output;
    EXPECT_EQ(desktop.output, "");

    // The project has no domain of its own for a reverse-DNS id, nor a
    // homepage, which AppStream 1.0 asks for and older ones do not know of
    // (the package's lintian overrides say the same).
    // Only the last --override counts; it takes a list.
    std::string overrides = "--override=cid-desktopapp-is-not-rdns=info";
    if (run({"appstreamcli", "--version"}).output.find("version: 0.") == std::string::npos)
        overrides += ",url-homepage-missing=info";
    const std::vector<std::string> validate = {"appstreamcli", "validate", "--no-net", overrides,
                                               usr + "share/metainfo/battleships.metainfo.xml"};
    const Result valid = run(validate);
    EXPECT_EQ(valid.status, 0) << describe(validate, valid);
    EXPECT_EQ(linesTagged(valid.output, {"E: ", "W: "}), "") << describe(validate, valid);

    // The copyright file in Debian's machine-readable format, with the whole
    // license text.
    const std::string copyright = readFile(usr + "share/doc/battleships/copyright");
    EXPECT_EQ(copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0), 0u)
        << copyright;
    EXPECT_NE(copyright.find("\nLicense: MIT\n"), std::string::npos) << copyright;
    const std::string license = readFile(sourceDir() + "/LICENSE");
    for (const std::string& line : lines(license.substr(license.find("Permission is hereby granted"))))
        if (!line.empty()) {
            EXPECT_NE(copyright.find("\n " + line + "\n"), std::string::npos) << line;
        }

    const std::string changelog = usr + "share/doc/battleships/changelog.gz";
    const std::string manual = usr + "share/man/man6/battleships.6.gz";
    EXPECT_TRUE(gzipWithoutNameOrTime(changelog));
    EXPECT_TRUE(gzipWithoutNameOrTime(manual));
    EXPECT_EQ(run({"gzip", "-dc", changelog}).output.rfind(kPackage + " (" + BATTLESHIPS_VERSION + ") ", 0), 0u);

    // groff's warnings go to standard error, the page to /dev/null.
    for (const char* locale : {"C.UTF-8", "C"}) {
        const Result warned = run({"env", std::string("LC_ALL=") + locale, "sh", "-c",
                                   "man --warnings -l \"$1\" >/dev/null", "sh", manual});
        EXPECT_EQ(warned.status, 0) << locale << ": " << warned.output;
        EXPECT_EQ(warned.output, "") << locale;
    }
    const Result page = run({"env", "LC_ALL=C.UTF-8", "MANWIDTH=80", "man", "-l", manual});
    const std::vector<std::string> pageLines = lines(page.output);
    for (const std::string& section : kManualSections)
        EXPECT_NE(std::find(pageLines.begin(), pageLines.end(), section), pageLines.end())
            << section << " missing in:\n" << page.output;
}

TEST(DebianPackage, InstallsStartsFromAnyFolderAndRemovesWithoutLeftovers) {
    const char* ci = std::getenv("CI");
    if (ci == nullptr || *ci == '\0')
        GTEST_SKIP() << "runs on CI only (CI set): installs the battleships package system-wide with apt-get";
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

    // Someone's own installed package is theirs to keep.
    if (packageInstalled())
        GTEST_SKIP() << "a battleships package was installed before this test; it stays as it is";

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
    for (const std::string& file : installedFiles(kGamesLayout)) EXPECT_EQ(pathSet.count("/usr/" + file), 1u) << file;
    std::vector<std::string> files, folders;
    for (const std::string& path : paths) {
        if (path.empty() || path.front() != '/') continue;
        ASSERT_TRUE(fs::exists(path)) << "listed but not on disk: " << path;
        (fs::is_directory(path) ? folders : files).push_back(path);
    }

    startsDialogThenGame("/usr/" + kGamesLayout.command, "/usr/" + kGamesLayout.folder);

    const std::vector<std::string> remove = {"apt-get", "remove", "-y", kPackage};
    const Result removed = run(remove);
    ASSERT_EQ(removed.status, 0) << describe(remove, removed);
    // Nothing kept, not even configuration files.
    const Result status = run({"dpkg-query", "-W", "-f=${Status}", kPackage});
    EXPECT_TRUE(status.status != 0 || status.output.find("not-installed") != std::string::npos)
        << status.output;

    for (const std::string& file : files)
        EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << "left behind: " << file;
    EXPECT_FALSE(fs::exists("/usr/" + kGamesLayout.folder));
    // Shared folders such as /usr/share/icons stay for the packages that own
    // them or for files of their own.
    for (const std::string& folder : folders) {
        if (!fs::exists(folder)) continue;
        const bool owned = run({"dpkg", "-S", folder}).status == 0;
        EXPECT_TRUE(owned || !fs::is_empty(folder)) << "empty folder left behind: " << folder;
    }
}

}  // namespace
