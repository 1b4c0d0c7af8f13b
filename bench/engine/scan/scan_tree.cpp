// Scans a folder tree twice, each time beside `find` on the same tree, and asks
// for progress while the rescan runs, as the user interface does once a second.
// FERROVANE_BESIDE names another command to run instead of find (the tree is
// its last argument).
//
// usage: ferrovane_scan_tree DIR THREADS (0: automatic)
// FERROVANE_ROUNDS sets the number of rounds (default 3): each side keeps its
// best, so more rounds show the cost with less of the machine's own noise.
// prints: find_ms, first_scan_ms, find_again_ms, rescan_ms, remaining_max_ms, idle_cpu_ms,
// and the user and system CPU time of each side, averaged over the rounds
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "engine/scan/Scanner.h"
#include "support/TreeServer.h"

namespace {

using namespace tovan;
using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// User and system CPU time of this process (who = RUSAGE_SELF) or of its
// finished children (RUSAGE_CHILDREN), in milliseconds.
struct Cpu {
    double user = 0;
    double system = 0;

    static Cpu of(int who) {
        rusage usage;
        ::getrusage(who, &usage);
        return {usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3,
                usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3};
    }
    Cpu operator-(const Cpu& other) const { return {user - other.user, system - other.system}; }
    Cpu& operator+=(const Cpu& other) {
        user += other.user;
        system += other.system;
        return *this;
    }
};

// CPU times summed over the rounds, per side.
struct CpuTimes {
    Cpu find_first, first, find_again, rescan;
};

double time_find(const std::string& tree) {
    const char* beside = std::getenv("FERROVANE_BESIDE");
    const std::string command = beside != nullptr
                                    ? std::string(beside) + " '" + tree + "' >/dev/null"
                                    : "find '" + tree + "' -printf '%s %T@ %p\\n' >/dev/null";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "%s failed\n", beside != nullptr ? beside : "find");
    return ms_since(start);
}

struct ScanTimes {
    double total_ms = 0;
    double remaining_max_ms = 0;
};

ScanTimes scan(const SharedPtr<Server>& server, const ScanOptions& options) {
    ScanTimes times;
    const auto start = Clock::now();
    Scanner scanner(server, options);
    scanner.scan(server->root(), false);
    while (!scanner.is_idle() && !scanner.has_no_threads()) {
        const auto asked = Clock::now();
        (void)scanner.remaining();
        times.remaining_max_ms = std::max(times.remaining_max_ms, ms_since(asked));
        while (scanner.pop_updated()) {
        }
        // The window asks once a second. A look every millisecond woke this
        // thread a thousand times a second beside the scan's threads on two
        // processors; every five finds the end on average 2.5 ms late.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    scanner.stop();
    while (!scanner.has_no_threads()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    times.total_ms = ms_since(start);
    return times;
}

// Gives every hundredth file a new modification time.
int touch_one_percent(const Entry& folder, int& counter) {
    int changed = 0;
    for (std::size_t i = 0; i < folder.child_count(); ++i) {
        const SharedPtr<Entry> child = folder.child(i);
        if (child->is_folder()) {
            changed += touch_one_percent(*child, counter);
        } else if (++counter % 100 == 0) {
            const std::time_t when = std::time(nullptr) - 600;
            const timespec times[2] = {{when, 0}, {when, 0}};
            if (::utimensat(AT_FDCWD, child->full_path().c_str(), times, 0) == 0)
                ++changed;
        }
    }
    return changed;
}

// CPU time of a held scanner whose threads have nothing to do.
double idle_cpu_ms(const SharedPtr<Server>& server, const ScanOptions& options) {
    server->set_connections_limit(4);
    Scanner scanner(server, options);
    scanner.set_hold(true);
    scanner.scan({}, true);
    while (!scanner.is_idle()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const Cpu before = Cpu::of(RUSAGE_SELF);
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const Cpu used = Cpu::of(RUSAGE_SELF) - before;
    scanner.set_hold(false);
    return used.user + used.system;
}

int rounds() {
    const char* text = std::getenv("FERROVANE_ROUNDS");
    const int wanted = text != nullptr ? std::atoi(text) : 3;
    return std::clamp(wanted, 1, 20);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DIR THREADS\n", argv[0]);
        return 2;
    }
    const std::string tree = argv[1];
    const SharedPtr<Server> server = tree_server(tree, argv[2]);
    if (!server)
        return 1;
    const ScanOptions options;

    // Rounds alternate between find and the scans, and each side keeps its best
    // round, so a burst of other work on the machine does not decide the ratio.
    time_find(tree);  // warms the page cache
    double find_first = 1e300, find_again = 1e300;
    ScanTimes first{1e300, 0}, rescan{1e300, 0};
    int changed = 0;
    CpuTimes cpu;
    const int round_count = rounds();
    for (int round = 0; round < round_count; ++round) {
        Cpu before = Cpu::of(RUSAGE_CHILDREN);
        find_first = std::min(find_first, time_find(tree));
        cpu.find_first += Cpu::of(RUSAGE_CHILDREN) - before;
        server->reset_root();
        before = Cpu::of(RUSAGE_SELF);
        const ScanTimes one = scan(server, options);
        cpu.first += Cpu::of(RUSAGE_SELF) - before;
        first.total_ms = std::min(first.total_ms, one.total_ms);
        first.remaining_max_ms = std::max(first.remaining_max_ms, one.remaining_max_ms);
        int counter = round;
        changed = touch_one_percent(*server->root(), counter);
        before = Cpu::of(RUSAGE_CHILDREN);
        find_again = std::min(find_again, time_find(tree));
        cpu.find_again += Cpu::of(RUSAGE_CHILDREN) - before;
        before = Cpu::of(RUSAGE_SELF);
        const ScanTimes again = scan(server, options);
        cpu.rescan += Cpu::of(RUSAGE_SELF) - before;
        rescan.total_ms = std::min(rescan.total_ms, again.total_ms);
        rescan.remaining_max_ms = std::max(rescan.remaining_max_ms, again.remaining_max_ms);
    }

    std::printf("rounds %d\n", round_count);
    std::printf("files_changed %d\n", changed);
    std::printf("find_ms %.1f\n", find_first);
    std::printf("first_scan_ms %.1f\n", first.total_ms);
    std::printf("find_again_ms %.1f\n", find_again);
    std::printf("rescan_ms %.1f\n", rescan.total_ms);
    std::printf("remaining_max_ms %.3f\n",
                std::max(first.remaining_max_ms, rescan.remaining_max_ms));
    const auto print_cpu = [round_count](const char* name, const Cpu& cpu) {
        std::printf("%s_user_ms %.1f\n%s_system_ms %.1f\n", name, cpu.user / round_count, name,
                    cpu.system / round_count);
    };
    print_cpu("find", cpu.find_first);
    print_cpu("first_scan", cpu.first);
    print_cpu("find_again", cpu.find_again);
    print_cpu("rescan", cpu.rescan);
    if (std::getenv("FERROVANE_IDLE_CHECK") != nullptr)
        std::printf("idle_cpu_ms %.1f\n", idle_cpu_ms(server, options));
    return 0;
}
