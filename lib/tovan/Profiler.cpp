#include "tovan/Profiler.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tovan/ProfilerScope.h"
#include "tovan/log/Log.h"

namespace tovan {
namespace {

double seconds_of(const Profiler::Node& node) {
    return static_cast<double>(node.nanoseconds.load(std::memory_order_relaxed)) * 1e-9;
}

}  // namespace

Profiler& Profiler::instance() {
    // Never destroyed: scopes may end during static destruction.
    static Profiler* const the_profiler = [] {
        auto* profiler = new Profiler;
        std::atexit([] {
            Profiler& p = *the_profiler;
            bool used;
            {
                std::lock_guard guard(p.lock_);
                used = !p.root_.children.empty();
            }
            if (used && !p.final_written_)
                p.write_report(default_report_path());
        });
        return profiler;
    }();
    return *the_profiler;
}

std::string Profiler::default_report_path() {
    std::string log = Log::opened_file_name();
    if (log.empty())
        log = Log::file_name();
    const std::size_t slash = log.rfind('/');
    return (slash == std::string::npos ? std::string() : log.substr(0, slash + 1)) + "profile.log";
}

bool Profiler::write_final_report(double min_share_percent) {
    final_written_ = true;
    return write_report(default_report_path(), min_share_percent);
}

Profiler::Node* Profiler::node(Node* parent, const char* name) {
    if (parent == nullptr)
        parent = &root_;
    std::lock_guard guard(lock_);
    for (const auto& child : parent->children)
        if (child->name == name)
            return child.get();
    parent->children.push_back(std::make_unique<Node>(name, parent));
    return parent->children.back().get();
}

double Profiler::measure_overhead() {
    constexpr int Rounds = 1000;
    Profiler local;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < Rounds; ++round)
        const ProfilerScope scope("one_profile_time_measure", local);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double>(elapsed).count() / Rounds;
}

std::string Profiler::report(double min_share_percent) {
    char line[128];
    std::snprintf(line, sizeof line, "Time lost on profile: %0.9f\n", measure_overhead());
    std::string out = line;
    std::lock_guard guard(lock_);
    double total = 0;
    for (const auto& child : root_.children) total += seconds_of(*child);
    for (const auto& child : root_.children) write_node(out, *child, total, 0, min_share_percent);
    return out;
}

bool Profiler::write_report(const std::string& path, double min_share_percent) {
    const std::string text = report(min_share_percent);
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

void Profiler::write_node(std::string& out, const Node& node, double parent_seconds, int depth,
                          double min_share_percent) {
    const double seconds = seconds_of(node);
    const double share = parent_seconds > 0 ? seconds * 100 / parent_seconds : 100;
    if (share < min_share_percent)
        return;
    const auto calls = node.calls.load(std::memory_order_relaxed);
    const double average = calls > 0 ? seconds / static_cast<double>(calls) : 0;
    char numbers[160];
    if (node.children.empty()) {
        std::snprintf(numbers, sizeof numbers, "%0.2f%%. time: %0.2f", share, seconds);
    } else {
        // In brackets: the share of the node's time spent outside its children.
        double in_children = 0;
        for (const auto& child : node.children) in_children += seconds_of(*child);
        const double own = seconds > 0 ? (seconds - in_children) * 100 / seconds : 0;
        std::snprintf(numbers, sizeof numbers, "%0.2f%%[%0.2f]. time: %0.2f", share, own, seconds);
    }
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    out += node.name + ": " + numbers;
    std::snprintf(numbers, sizeof numbers, ". n: %llu. average: %0.2f\n",
                  static_cast<unsigned long long>(calls), average);
    out += numbers;
    for (const auto& child : node.children)
        write_node(out, *child, seconds, depth + 1, min_share_percent);
}

}  // namespace tovan
