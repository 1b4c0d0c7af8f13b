#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/Figure.h"
#include "tovan/io/IFStream.h"
#include "tovan/io/OFStream.h"

// Writing and reading a million records of the catalog's shape: a version byte, a
// 20-byte text, a flag byte and four 64-bit values. The file is named by
// FERROVANE_STREAM_FILE, so that the script beside can time `cat` on it.
namespace {

constexpr int Records = 1000000;
const std::string Name = "some/folder/file.txt";  // 20 bytes

std::string file_path() {
    const char* path = std::getenv("FERROVANE_STREAM_FILE");
    return path != nullptr ? path : "/tmp/ferrovane-stream-bench.dat";
}

std::int64_t write_records(const std::string& path) {
    tovan::io::OFStream out(path);
    for (int at = 0; at < Records; ++at) {
        out.write_byte(2);
        out.write_text(Name);
        out.write_bool(at % 3 == 0);
        out.write_u64(static_cast<std::uint64_t>(at) * 4096);
        out.write_i64(1700000000 + at);
        out.write_u64(static_cast<std::uint64_t>(at));
        out.write_i64(1600000000 - at);
    }
    out.close();
    return 21 + static_cast<std::int64_t>(Records) * (1 + 4 + 20 + 1 + 4 * 8);
}

std::int64_t read_records(const std::string& path) {
    tovan::io::IFStream in(path);
    std::uint8_t version;
    std::string name;
    bool flag;
    std::uint64_t value;
    std::uint64_t sum = 0;
    for (int at = 0; at < Records; ++at) {
        in.read_byte(version);
        in.read_text(name);
        in.read_bool(flag);
        for (int field = 0; field < 4; ++field) {
            in.read_u64(value);
            sum += value;
        }
    }
    benchmark::DoNotOptimize(sum);
    return 21 + static_cast<std::int64_t>(Records) * (1 + 4 + 20 + 1 + 4 * 8);
}

void run(benchmark::State& state, const char* figure,
         std::int64_t (*transfer)(const std::string&)) {
    const std::string path = file_path();
    write_records(path);  // the file to read, and a warm page cache
    std::int64_t bytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        bytes += transfer(path);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.SetBytesProcessed(bytes);
    bench::set_figure(figure, static_cast<double>(bytes) / seconds / 1e6, "MB/s");
}

void stream_write(benchmark::State& state) {
    run(state, "stream_write", write_records);
}
void stream_read(benchmark::State& state) {
    run(state, "stream_read", read_records);
}

}  // namespace

BENCHMARK(stream_write)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(stream_read)->Unit(benchmark::kMillisecond)->Iterations(5);
