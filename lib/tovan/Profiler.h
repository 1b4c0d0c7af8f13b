#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tovan {

// Times named scopes in a tree: a scope's node is found by name below the node of
// the scope that encloses it on the same thread. The program's profiler writes
// "profile.log" beside the log when the program ends.
class Profiler {
public:
    struct Node {
        explicit Node(std::string name, Node* parent) : name(std::move(name)), parent(parent) {}
        const std::string name;
        Node* const parent;
        std::atomic<std::int64_t> nanoseconds{0};
        std::atomic<std::uint64_t> calls{0};
        std::vector<std::unique_ptr<Node>> children;  // guarded by the profiler's lock
    };

    Profiler() : root_("", nullptr) {}
    Profiler(const Profiler&) = delete;
    Profiler& operator=(const Profiler&) = delete;

    // The program's profiler; its report is written at exit when a scope ran.
    static Profiler& instance();

    // The node of name below parent (the root when parent is null).
    Node* node(Node* parent, const char* name);

    // Writes the report; nodes whose share of their parent is below
    // min_share_percent are left out with everything below them.
    bool write_report(const std::string& path, double min_share_percent = 0.1);
    // Writes the report of the run to "profile.log" beside the log; the report
    // at exit is then left out.
    bool write_final_report(double min_share_percent);
    static std::string default_report_path();
    std::string report(double min_share_percent = 0.1);

    // What one scope costs, in seconds, measured on a profiler of its own.
    static double measure_overhead();

private:
    void write_node(std::string& out, const Node& node, double parent_seconds, int depth,
                    double min_share_percent);

    std::mutex lock_;
    Node root_;
    std::atomic<bool> final_written_{false};
};

}  // namespace tovan
