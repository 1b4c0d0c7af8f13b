#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace tovan::test {

// Bytes that compress badly and differ with the seed, made a word at a time so
// that even large files are quick to make under the sanitizers.
inline std::string random_bytes(std::size_t count, std::uint64_t seed = 1) {
    std::string bytes(count, '\0');
    std::uint64_t state = seed;
    for (std::size_t at = 0; at < count; at += sizeof state) {
        std::uint64_t word = state += 0x9E3779B97F4A7C15ull;  // splitmix64
        word = (word ^ (word >> 30)) * 0xBF58476D1CE4E5B9ull;
        word = (word ^ (word >> 27)) * 0x94D049BB133111EBull;
        word ^= word >> 31;
        std::memcpy(bytes.data() + at, &word, std::min(sizeof word, count - at));
    }
    return bytes;
}

}  // namespace tovan::test
