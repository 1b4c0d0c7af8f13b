#include "tovan/ProfilerScope.h"

namespace tovan {

thread_local ProfilerScope* ProfilerScope::innermost_ = nullptr;

ProfilerScope::ProfilerScope(const char* name, Profiler& profiler)
    : profiler_(profiler), enclosing_(innermost_) {
    Profiler::Node* parent = nullptr;
    for (ProfilerScope* scope = enclosing_; scope != nullptr; scope = scope->enclosing_) {
        if (&scope->profiler_ == &profiler_) {
            parent = scope->node_;
            break;
        }
    }
    node_ = profiler_.node(parent, name);
    innermost_ = this;
    start_ = std::chrono::steady_clock::now();
}

ProfilerScope::~ProfilerScope() {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    node_->nanoseconds.fetch_add(
        std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count(),
        std::memory_order_relaxed);
    node_->calls.fetch_add(1, std::memory_order_relaxed);
    innermost_ = enclosing_;
}

}  // namespace tovan
