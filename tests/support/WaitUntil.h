#pragma once

#include <chrono>
#include <functional>

namespace tovan::test {

// Polls the condition until it holds; false when the limit passed first. The
// limit is generous: it only bounds a test that would otherwise hang.
bool wait_until(const std::function<bool()>& done,
                std::chrono::milliseconds limit = std::chrono::seconds(60));

}  // namespace tovan::test
