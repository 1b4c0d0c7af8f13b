#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "tovan/io/Failure.h"
#include "tovan/io/IFStream.h"
#include "tovan/io/OFStream.h"
#include "tovan/log/Log.h"

// The replaced operators below pair malloc with free, which GCC cannot see
// through once they are inlined.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Watches the largest single allocation while a damaged file is read: a reader
// that trusts a stored length would ask for gigabytes here.
namespace {
std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};
}  // namespace

void* operator new(std::size_t size) {
    if (watching.load(std::memory_order_relaxed)) {
        std::size_t seen = largest.load(std::memory_order_relaxed);
        while (size > seen && !largest.compare_exchange_weak(seen, size)) {
        }
    }
    if (void* memory = std::malloc(size != 0 ? size : 1))
        return memory;
    throw std::bad_alloc();
}
// The library's temporary buffers (stable sorts and merges of other tests in the
// same program) come from the nothrow form and go back through plain delete.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size != 0 ? size : 1);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace tovan::io {
namespace {

using tovan::test::read_file;
using tovan::test::TempFolder;
using tovan::test::write_file;

constexpr std::size_t RecordSize = 1 + 4 + 1 + 4 * 8 + 4;

// A file of the shape the catalog uses: a version, a count of records, each with
// a version, a name, a flag, four numbers and a list of texts.
void write_catalog(const std::string& path) {
    OFStream out(path);
    out.write_byte(3);
    out.write_u32(12);
    for (std::uint32_t at = 0; at < 12; ++at) {
        out.write_byte(2);
        out.write_text("entry " + std::to_string(at) + std::string(at * 7, 'n'));
        out.write_bool(at % 2 == 0);
        for (std::uint64_t value = 0; value < 4; ++value) out.write_u64(at * 1000 + value);
        out.write_texts({"mask*.txt", std::string(at, 'm')});
    }
    out.close();
}

void read_catalog(const std::string& path) {
    IFStream in(path);
    std::uint8_t version = 0;
    std::uint32_t count = 0;
    in.read_byte(version);
    in.read_count(count, RecordSize);
    for (std::uint32_t at = 0; at < count; ++at) {
        std::string name;
        bool flag;
        std::uint64_t value;
        std::vector<std::string> masks;
        in.read_byte(version);
        in.read_text(name);
        in.read_bool(flag);
        for (int field = 0; field < 4; ++field) in.read_u64(value);
        in.read_texts(masks);
    }
}

class StreamCorruption : public ::testing::Test {
protected:
    void SetUp() override {
        Log::configure(folder.file("test.log"));
        write_catalog(folder.file("catalog.sav"));
        original = read_file(folder.file("catalog.sav"));
    }
    void TearDown() override { Log::configure(); }

    // Only a Failure may come out, and no allocation larger than an honest reader
    // needs: a list holds at most one std::string per 4 bytes of file, plus the
    // stream's own buffer. Returns whether the read failed.
    bool read_damaged(const std::string& damaged) {
        write_file(folder.file("damaged.sav"), damaged);
        largest = 0;
        watching = true;
        bool failed = true;
        try {
            read_catalog(folder.file("damaged.sav"));
            failed = false;
        } catch (const Failure&) {
        } catch (...) {
            ADD_FAILURE() << "not a tovan::io::Failure";
        }
        watching = false;
        EXPECT_LE(largest, std::max<std::size_t>(damaged.size() / 4 * sizeof(std::string), 4096) +
                               BasicFileBuf::BufferSize);
        return failed;
    }

    TempFolder folder;
    std::string original;
};

TEST_F(StreamCorruption, EveryTruncationFailsAsAFailureWithoutLargeAllocations) {
    for (std::size_t length = 0; length < original.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_TRUE(read_damaged(original.substr(0, length)));
    }
}

TEST_F(StreamCorruption, FlippedBytesFailAsAFailureOrReadWithoutLargeAllocations) {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> position(0, original.size() - 1);
    std::uniform_int_distribution<int> flips(1, 4), bits(1, 255);
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = original;
        for (int flip = flips(random); flip > 0; --flip)
            damaged[position(random)] ^= static_cast<char>(bits(random));
        SCOPED_TRACE(round);
        read_damaged(damaged);
    }
}

// Every 4-byte window that a reader might take as a length, set to four billion.
TEST_F(StreamCorruption, HugeStoredLengthsInEveryLengthFieldFailAtOnce) {
    for (std::size_t at = 21; at + 4 <= original.size(); ++at) {
        std::string damaged = original;
        damaged.replace(at, 4, std::string("\x00\x28\x6b\xee", 4));
        SCOPED_TRACE(at);
        read_damaged(damaged);
    }
}

}  // namespace
}  // namespace tovan::io
