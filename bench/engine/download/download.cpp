// Downloads one URL into FOLDER/<its file name> and prints the wall time.
//
// By default a download job fetches it, on its own thread, as the program
// does; with --resume a partial FOLDER/<file name> is handed to the job as its
// own partial file first. With --direct the connection's downloader is driven
// here the way the job's thread drives it, counting the bytes the reads bring:
// for a resumed file, only the missing ones.
//
// usage: ferrovane_download [--direct | --resume] URL FOLDER [FTP_PORT]
// prints: download_ms, bytes_fetched (direct: bytes_read), size
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <thread>

#include "engine/catalog/Server.h"
#include "engine/connection/Connection.h"
#include "engine/connection/FileDownloader.h"
#include "engine/connection/Protocols.h"
#include "engine/connection/TransferSpeed.h"
#include "engine/curl/InternetSession.h"
#include "engine/download/Downloader.h"

namespace {

using namespace tovan;
using Clock = std::chrono::steady_clock;

std::int64_t file_size(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : 0;
}

// The bytes read; -1 when the file was not found or could not be written.
std::int64_t drive(FileDownloader& downloader, const std::string& source,
                   const std::string& destination) {
    downloader.start(source, destination);
    if (downloader.complete())
        return 0;
    if (!downloader.is_found())
        return -1;
    std::int32_t speed = 0;
    std::int64_t total = 0;
    while (!downloader.complete()) {
        const auto before = Clock::now();
        const std::int32_t read = downloader.read_chunk(speed);
        total += read;
        if (downloader.write_error() || !downloader.is_found())
            return -1;
        speed = smoothed_speed(
            speed, static_cast<std::uint64_t>(read),
            std::chrono::duration<double, std::milli>(Clock::now() - before).count());
    }
    return total;
}

int run_direct(const Server& server, InternetSession& session, const std::string& file_name,
               const std::string& destination) {
    SharedPtr<Connection> connection = Protocols::connect(server, session);
    SharedPtr<FileDownloader> downloader = connection ? connection->create_downloader() : nullptr;
    if (!downloader)
        return std::fprintf(stderr, "can't connect\n"), 1;
    const std::int64_t read = drive(*downloader, server.source_path() + file_name, destination);
    if (read < 0)
        return std::fprintf(stderr, "not found or not written\n"), 1;
    std::printf("bytes_read %lld\nsize %llu\n", static_cast<long long>(read),
                static_cast<unsigned long long>(downloader->size()));
    return 0;
}

// A job that has not finished in ten minutes is retrying a failure.
int run_job(const Server& server, InternetSession& session, const std::string& file_name,
            const std::string& folder, bool resume) {
    const std::string destination = folder + "/" + file_name;
    Downloader job(&session);
    job.set_server(server);
    job.set_name(file_name);
    job.add_path(file_name, folder);
    // A job resumes only a partial file of its own, never one it finds.
    const std::string part = job.part_of(job.task().pending.front());
    if (resume && std::rename(destination.c_str(), part.c_str()) != 0)
        return std::fprintf(stderr, "no partial %s to resume\n", destination.c_str()), 1;
    const std::int64_t before = file_size(part);
    job.resume();
    const auto deadline = Clock::now() + std::chrono::minutes(10);
    while (!job.is_finished() && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!job.is_finished())
        return std::fprintf(stderr, "the job did not finish:\n%s\n", job.log().text().c_str()), 1;
    const std::int64_t after = file_size(destination);
    std::printf("bytes_fetched %lld\nsize %lld\n", static_cast<long long>(after - before),
                static_cast<long long>(after));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool direct = argc > 1 && std::strcmp(argv[1], "--direct") == 0;
    const bool resume = argc > 1 && std::strcmp(argv[1], "--resume") == 0;
    argv += direct || resume, argc -= direct || resume;
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr,
                     "usage: ferrovane_download [--direct | --resume] URL FOLDER [FTP_PORT]\n");
        return 2;
    }
    Server server;
    std::string file_name;
    if (!server.from_url(argv[1], &file_name) || file_name.empty()) {
        std::fprintf(stderr, "not the location of a file: %s\n", argv[1]);
        return 2;
    }
    if (argc == 4) {
        FtpSettings settings = server.ftp();
        settings.port = static_cast<std::uint32_t>(std::atoi(argv[3]));
        server.set_ftp(settings, server.location(), server.kind());
    }
    try {
        InternetSession session;
        const auto start = Clock::now();
        const int result =
            direct ? run_direct(server, session, file_name, std::string(argv[2]) + "/" + file_name)
                   : run_job(server, session, file_name, argv[2], resume);
        std::printf("download_ms %.1f\n",
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        return result;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
}
