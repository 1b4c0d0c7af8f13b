#include "tovan/SafeSave.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <source_location>

#include "tovan/Paths.h"
#include "tovan/SystemErrorInfo.h"
#include "tovan/TextualErrorInfo.h"
#include "tovan/io/Failure.h"
#include "tovan/log/FailureRecord.h"

namespace tovan {
namespace {

// Raises the system's error (errno, taken first) for the path.
[[noreturn]] void fail(const char* what, const std::string& path,
                       std::source_location location = std::source_location::current()) {
    SystemErrorInfo system;
    system.set_context(path.c_str());
    TextualErrorInfo text(what);
    text.set_cause(&system);
    const io::Failure failure(text);
    FailureRecord::write(failure.what(), location);
    throw failure;
}

// Every save in the data folder writes the same "temp": one whole save at a time,
// the writing of its content included, so that two threads cannot clobber each
// other's temp and a save that ends later always holds the later content.
std::mutex save_lock;

void sync_folder(const std::string& folder) {
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

// Keeps the file that is about to be replaced as the backup: a hard link made
// under a temporary name and renamed over the old backup, so the backup is never
// missing either. A file system without hard links gets a copy.
void keep_backup(const std::string& target, const std::string& backup) {
    if (::access(target.c_str(), F_OK) != 0)
        return;
    const std::string staging = backup + ".new";
    ::unlink(staging.c_str());
    if (::link(target.c_str(), staging.c_str()) != 0) {
        std::error_code error;
        std::filesystem::copy_file(target, staging,
                                   std::filesystem::copy_options::overwrite_existing, error);
        if (error)
            fail("can't keep the previous file: ", staging);
    }
    if (::rename(staging.c_str(), backup.c_str()) != 0)
        fail("can't keep the previous file: ", backup);
}

void replace(const std::string& temp, const std::string& target, const SafeSave::Writer& writer,
             const std::string& backup, bool raw = false) {
    try {
        io::OFStream out;
        out.exceptions(io::Stream::ProgramMask);
        if (raw)
            out.set_options(out.options() | io::Stream::Raw);
        out.open(temp);
        writer(out);
        out.close_durably();
        if (!backup.empty())
            keep_backup(target, backup);
        if (::rename(temp.c_str(), target.c_str()) != 0)
            fail("can't replace the file: ", target);
    } catch (const Exception& failure) {
        ::unlink(temp.c_str());
        // The failure names "temp" at best; the user needs the file that was kept.
        throw io::Failure(target + " can't be written: " + failure.what());
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
}

}  // namespace

void SafeSave::write(const std::string& folder, const std::string& file_name, const Writer& writer,
                     const std::string& backup_name) {
    const std::lock_guard guard(save_lock);
    replace(in_folder(folder, TempName), in_folder(folder, file_name), writer,
            backup_name.empty() ? std::string() : in_folder(folder, backup_name));
    sync_folder(folder);
}

void SafeSave::write_text(const std::string& folder, const std::string& file_name,
                          std::string_view text) {
    const std::lock_guard guard(save_lock);
    replace(
        in_folder(folder, TempName), in_folder(folder, file_name),
        [text](io::OFStream& out) { out.write_bytes(text.data(), text.size()); }, {}, true);
    sync_folder(folder);
}

void SafeSave::write_file(const std::string& path, const Writer& writer) {
    replace(path + ".partial", path, writer, {});
    const std::size_t slash = path.rfind('/');
    sync_folder(slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
}

}  // namespace tovan
