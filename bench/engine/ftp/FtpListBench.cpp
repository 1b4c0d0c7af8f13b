// LIST parsing speed: a folder of a million files arrives as a million lines, and
// each line may be tried against every form the parser knows before it is read.
// The listing mixes the forms a large server sends most: ls -l with times and with
// years, and IIS.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "engine/ftp/FtpListParser.h"
#include "support/Figure.h"

namespace {

using namespace tovan;

constexpr int Lines = 1'000'000;
constexpr std::int64_t Now = 1717243200;  // 2024-06-01 12:00 UTC

std::string mixed_listing() {
    std::string reply;
    for (int i = 0; i < Lines; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 4) {
            case 0:
                reply += "-rw-r--r--    1 ftp      ftp        " + n + " Mar 14 09:12 file" + n;
                break;
            case 1:
                reply += "drwxr-xr-x    2 ftp      ftp          4096 Jan 05  2021 folder" + n;
                break;
            case 2:
                reply += "-rw-r--r--    1 1000     1000       " + n + " 2021-01-05 10:15 iso" + n;
                break;
            default:
                reply += "01-05-21  10:15AM            " + n + " windows " + n + ".txt";
        }
        reply += "\r\n";
    }
    return reply;
}

void ftp_list_parse(benchmark::State& state) {
    const std::string reply = mixed_listing();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto items = parse_listing(reply, false, Now);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (items.size() != Lines)
            state.SkipWithError("a line was not read");
    }
    const double per_second = Lines * static_cast<double>(state.iterations()) / seconds;
    state.counters["lines_per_s"] = per_second;
    bench::set_figure("ftp_list_parse", per_second / 1e6, "million lines/s");
}
BENCHMARK(ftp_list_parse)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
