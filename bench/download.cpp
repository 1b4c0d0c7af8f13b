// Downloads one URL into a file the way a download job's thread does: one
// chunk per step, each asked for at the smoothed speed, so about a second of
// transfer. Prints the wall time and the bytes the reads brought, which for a
// resumed file are only the missing ones.
//
// usage: ferrovane_download URL DEST [FTP_PORT]
// prints: download_ms, bytes_read, size
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "engine/Connection.h"
#include "engine/FileDownloader.h"
#include "engine/InternetSession.h"
#include "engine/Server.h"

namespace {

using namespace tovan;

// The thread's average, which gives the newest chunk a weight of 1/31.
std::int64_t smoothed(std::int64_t speed, std::int64_t bytes, std::int64_t ms) {
    return (bytes * 1000 / ms + 30 * speed) / 31;
}

// The bytes read; -1 when the file was not found or could not be written.
std::int64_t download(FileDownloader& downloader, const std::string& source, const std::string& destination) {
    downloader.start(source, destination);
    if (downloader.complete()) return 0;
    if (!downloader.is_found()) return -1;
    std::int64_t speed = 0;
    std::int64_t total = 0;
    auto timer = std::chrono::steady_clock::now();
    while (!downloader.complete()) {
        const std::int32_t read = downloader.read_chunk(static_cast<std::int32_t>(speed));
        total += read;
        if (downloader.write_error() || !downloader.is_found()) return -1;
        const auto now = std::chrono::steady_clock::now();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - timer).count();
        if (ms != 0) {
            speed = smoothed(speed, read, ms);
            timer = now;
        }
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s URL DEST [FTP_PORT]\n", argv[0]);
        return 2;
    }
    Server server;
    std::string file_name;
    if (!server.from_url(argv[1], &file_name)) {
        std::fprintf(stderr, "not a location: %s\n", argv[1]);
        return 2;
    }
    if (argc == 4) {
        FtpSettings settings = server.ftp();
        settings.port = static_cast<std::uint32_t>(std::atoi(argv[3]));
        server.set_ftp(settings, server.location(), server.kind());
    }
    try {
        InternetSession session;
        const auto start = std::chrono::steady_clock::now();
        SharedPtr<Connection> connection = server.connect(session);
        SharedPtr<FileDownloader> downloader = connection ? connection->create_downloader() : nullptr;
        if (!downloader) {
            std::fprintf(stderr, "can't connect to %s\n", argv[1]);
            return 1;
        }
        const std::int64_t read = download(*downloader, server.source_path() + file_name, argv[2]);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (read < 0) {
            std::fprintf(stderr, "not found or not written: %s\n", argv[1]);
            return 1;
        }
        std::printf("download_ms %.1f\nbytes_read %lld\nsize %llu\n", ms, static_cast<long long>(read),
                    static_cast<unsigned long long>(downloader->size()));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
