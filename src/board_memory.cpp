#include "board_memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

// What one allocation of n bytes takes from the process: glibc's chunk
// header and alignment on its heap, whole pages once it maps a block alone.
double allocation(double n) {
    if (n <= 0) return 32;
    return n + (n >= 128 * 1024 ? 4096 + 16 : 32);
}

// One board: a ship layer and a state layer, each a table of row pointers
// and one block per row.
double boardBytes(double w, double h) {
    return 2 * allocation(8 * h) + h * (allocation(8 * w) + allocation(4 * w));
}

// A list of up to n cells grown one at a time: a capacity of under 2n, and
// the old block still held while the next one is filled.
double growingCells(double n) {
    return allocation(3 * 8 * n);
}

}  // namespace

double gameBytes(int width, int height) {
    const double w = width;
    const double h = height;
    const double cells = w * h;
    const double sums = allocation(4 * (w + 1) * (h + 1));

    // The computer's map of where the biggest ship afloat may lie; a new game
    // on a grown board builds the new one while the old one is still held.
    const double map = allocation(4 * (w + 1) * h) + allocation(4 * (h + 1) * w) + allocation(4 * cells) +
                       allocation(cells);
    const double mapBuilding = sums + allocation(4 * w) + allocation(cells);

    // Placing a fleet: the running sums and the free places for both
    // directions; a turn: every candidate cell, then the best of them.
    const double placing = sums + growingCells(cells) + allocation(2 * 8 * cells);
    const double turn = growingCells(cells) + allocation(2 * 8 * cells);

    const double peak = 4 * boardBytes(w, h) + 2 * map + std::max({placing, turn, mapBuilding});
    // Room for the allocator's fragmentation and the fixed small objects.
    return peak + peak / 16 + 1024 * 1024;
}

namespace {

const double MiB = 1024.0 * 1024.0;

// Mesa's software renderer, the driver of a desktop without a graphics card,
// starts a thread per processor (at most 32), each with its own stack and
// malloc arena.
int rendererThreads() {
    const char* set = std::getenv("LP_NUM_THREADS");
    long threads = set != nullptr ? std::strtol(set, nullptr, 10) : sysconf(_SC_NPROCESSORS_ONLN);
    return static_cast<int>(std::clamp(threads, 0L, 32L));
}

// What the program needs besides the board: its libraries, the window and
// the graphics driver, as measured on a small board, with room to spare.
double residentReserve() {
    return 160 * MiB;
}
double addressReserve() {
    return 384 * MiB + 160 * MiB * rendererThreads();
}
double dataReserve() {
    return 64 * MiB + 24 * MiB * rendererThreads();
}

// One limit: what the program needs under it besides the board, and what
// the limit leaves.
struct Limit {
    double reserve;
    double available;
};

// A path of the system's tree, as seen below root.
std::string under(const std::string& root, const std::string& path) {
    if (root.empty() || root == "/") return path;
    return (root.back() == '/' ? root.substr(0, root.size() - 1) : root) + path;
}

void machine(const std::string& root, std::vector<Limit>& limits) {
    std::ifstream meminfo(under(root, "/proc/meminfo"));
    std::string key, unit;
    double kilobytes = 0;
    while (meminfo >> key >> kilobytes >> unit) {
        if (key == "MemAvailable:") {
            limits.push_back({residentReserve(), kilobytes * 1024});
            return;
        }
    }
    const double pages = static_cast<double>(sysconf(_SC_AVPHYS_PAGES));
    if (pages > 0) limits.push_back({residentReserve(), pages * static_cast<double>(sysconf(_SC_PAGESIZE))});
}

// The whole address space and the data segment of the game itself count
// against these: the reserves cover what it uses before the board.
void processLimits(std::vector<Limit>& limits) {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        limits.push_back({addressReserve(), static_cast<double>(limit.rlim_cur)});
    if (getrlimit(RLIMIT_DATA, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        limits.push_back({dataReserve(), static_cast<double>(limit.rlim_cur)});
}

bool readNumber(const std::string& path, double& value) {
    std::ifstream in(path);
    std::string text;
    if (!(in >> text) || text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    value = std::strtod(text.c_str(), nullptr);
    return true;
}

// A statistic of memory.stat, 0 when it is not there.
double statistic(const std::string& path, const std::string& name) {
    std::ifstream in(path);
    std::string key;
    double value = 0;
    while (in >> key >> value)
        if (key == name) return value;
    return 0;
}

struct Mount {
    std::string point;  // where it is mounted, below the tree's root
    std::string root;   // the group it shows as its top
};

// Where the cgroup hierarchies that account memory are mounted: cgroup2, and
// a v1 hierarchy with the memory controller.
void cgroupMounts(const std::string& root, Mount& unified, Mount& memoryV1) {
    std::ifstream in(under(root, "/proc/self/mountinfo"));
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, group, point, field;
        fields >> id >> parent >> device >> group >> point;
        while (fields >> field && field != "-") {
        }
        std::string type, source, superOptions;
        fields >> type >> source >> superOptions;
        point = under(root, point);
        if (type == "cgroup2" && unified.point.empty()) unified = {point, group};
        if (type != "cgroup" || !memoryV1.point.empty()) continue;
        std::istringstream options(superOptions);
        for (std::string option; std::getline(options, option, ',');)
            if (option == "memory") memoryV1 = {point, group};
    }
}

// Each group from the process's own up to the top of the hierarchy may set
// a limit, and every one of them binds. Page cache that the group could drop
// does not count as use.
void groupLimits(const Mount& mount, std::string path, const std::string& limitFile,
                 const std::string& usageFile, const std::string& cacheKey, std::vector<Limit>& limits) {
    // Inside a container the hierarchy is mounted from the group itself.
    if (mount.root != "/" && path.compare(0, mount.root.size(), mount.root) == 0)
        path = path.substr(mount.root.size());
    if (path.empty()) path = "/";
    for (;;) {
        const std::string dir = mount.point + (path == "/" ? "" : path);
        double limit = 0, usage = 0;
        // cgroup v1 writes "no limit" as a number near 2^63, v2 as "max".
        if (readNumber(dir + "/" + limitFile, limit) && limit < 1e18 && readNumber(dir + "/" + usageFile, usage)) {
            const double used = std::max(usage - statistic(dir + "/memory.stat", cacheKey), 0.0);
            limits.push_back({residentReserve(), std::max(limit - used, 0.0)});
        }
        if (path == "/") return;
        const size_t slash = path.rfind('/');
        path = slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
    }
}

void controlGroup(const std::string& root, std::vector<Limit>& limits) {
    Mount unified, memoryV1;
    cgroupMounts(root, unified, memoryV1);
    std::ifstream in(under(root, "/proc/self/cgroup"));
    for (std::string line; std::getline(in, line);) {
        const size_t first = line.find(':');
        const size_t second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos) continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const std::string path = line.substr(second + 1);
        if (line.compare(0, first, "0") == 0 && controllers.empty()) {
            if (!unified.point.empty())
                groupLimits(unified, path, "memory.max", "memory.current", "inactive_file", limits);
            continue;
        }
        std::istringstream list(controllers);
        for (std::string controller; std::getline(list, controller, ',');)
            if (controller == "memory" && !memoryV1.point.empty())
                groupLimits(memoryV1, path, "memory.limit_in_bytes", "memory.usage_in_bytes",
                            "total_inactive_file", limits);
    }
}

std::string mebibytes(double bytes) {
    return std::to_string(static_cast<long long>(bytes / MiB));
}

}  // namespace

BoardMemory boardMemory(int width, int height, const std::string& root) {
    std::vector<Limit> limits;
    machine(root, limits);
    processLimits(limits);
    controlGroup(root, limits);

    // The limit that leaves the least room binds; with none, the board fits.
    const double board = gameBytes(width, height);
    BoardMemory result;
    result.needed = board + residentReserve();
    result.available = 1e300;
    for (const Limit& limit : limits) {
        if (limit.available - (board + limit.reserve) < result.available - result.needed) {
            result.needed = board + limit.reserve;
            result.available = limit.available;
        }
    }
    return result;
}

std::string boardRefusal(int width, int height, const BoardMemory& memory) {
    return "a board of " + std::to_string(width) + " x " + std::to_string(height) + " cells needs about " +
           mebibytes(memory.needed) + " MiB of memory, but only " + mebibytes(memory.available) +
           " MiB are available.";
}
