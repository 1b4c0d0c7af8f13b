#include "tovan/log/LogFileBuf.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "tovan/log/LogSuppression.h"

namespace tovan {
namespace {

// Where the extension starts, or the end when the last path part has none.
std::size_t extension_start(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    const std::size_t slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot == slash + 1)
        return name.size();
    return dot;
}

bool exists(const std::string& name) {
    struct stat status;
    return ::lstat(name.c_str(), &status) == 0;
}

}  // namespace

LogFileBuf::LogFileBuf(std::string file_name, bool debugger_output)
    : debugger_output_(debugger_output), file_name_(std::move(file_name)) {}

LogFileBuf::~LogFileBuf() {
    std::lock_guard guard(lock_);
    write_out();
}

std::string LogFileBuf::backup_name(const std::string& name) {
    const std::size_t at = extension_start(name);
    return name.substr(0, at) + ".prev" + name.substr(at);
}

std::string LogFileBuf::unique_name(const std::string& name, int number) {
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[number % 36]);
        number /= 36;
    } while (number > 0);
    const std::size_t at = extension_start(name);
    return name.substr(0, at) + "_" + digits + name.substr(at);
}

void LogFileBuf::start_line(std::string_view channel, int level, int verbosity) {
    // Text still buffered belongs to a statement that a nested one interrupts (an
    // object whose output logs): it goes out as a line of its own first.
    end_statement();
    channel_ = channel;
    level_ = level;
    verbosity_ = verbosity;
    prefix_.clear();
    if (!channel_.empty())
        prefix_ = "[" + channel_ + "] ";
    if (level_ == 0)
        prefix_ += "error: ";
    if (level_ == 1)
        prefix_ += "warning: ";
    new_line_pending_ = true;
    stream_.clear();
}

void LogFileBuf::end_statement() {
    write_out();
    if (line_open_) {
        sputc('\n');
        write_out();
    }
}

void LogFileBuf::set_file_name(std::string file_name) {
    std::lock_guard guard(lock_);
    write_out();
    close_file();
    file_name_ = std::move(file_name);
    opened_name_.clear();
}

LogFileBuf::int_type LogFileBuf::overflow(int_type c) {
    if (line_ == nullptr) {
        line_ = std::make_unique<char[]>(LineSize);
    } else {
        write_out();
    }
    setp(line_.get(), line_.get() + LineSize);
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize LogFileBuf::xsputn(const char* text, std::streamsize count) {
    std::streamsize done = 0;
    while (done < count) {
        if (pptr() == epptr())
            overflow(traits_type::eof());
        const std::streamsize room = epptr() - pptr();
        const std::streamsize part = std::min(room, count - done);
        traits_type::copy(pptr(), text + done, static_cast<std::size_t>(part));
        pbump(static_cast<int>(part));
        done += part;
    }
    return count;
}

int LogFileBuf::sync() {
    write_out();
    return 0;
}

void LogFileBuf::write_out() {
    const std::size_t length = static_cast<std::size_t>(pptr() - pbase());
    if (length == 0)
        return;
    setp(line_.get(), line_.get() + LineSize);
    if (!file_.is_open() && !file_name_.empty())
        open_file();
    const std::string text = compose(std::string_view(line_.get(), length));
    if (debugger_output_ && level_ <= 1)
        std::fwrite(text.data(), 1, text.size(), stderr);
    // A line that cannot be written is lost; the program goes on.
    if (file_.is_open())
        file_.write(text.data(), text.size());
}

std::string LogFileBuf::compose(std::string_view text) {
    std::string out;
    out.reserve(prefix_.size() + text.size() + 64);
    if (new_line_pending_) {
        out = prefix_;
        new_line_pending_ = false;
    } else if (indent_pending_) {
        out.assign(prefix_.size(), ' ');
    }
    indent_pending_ = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        out += text[at];
        if (text[at] == '\n' && at + 1 < text.size())
            out.append(prefix_.size(), ' ');
    }
    if (text.back() == '\n')
        indent_pending_ = true;
    line_open_ = text.back() != '\n';
    return out;
}

void LogFileBuf::open_file() {
    const LogSuppression quiet;
    if (exists(file_name_)) {
        const std::string backup = backup_name(file_name_);
        std::remove(backup.c_str());
        std::rename(file_name_.c_str(), backup.c_str());
    }
    const std::ios_base::openmode mode = std::ios_base::out | std::ios_base::trunc;
    for (int attempt = 0; attempt <= MaxUniqueTries; ++attempt) {
        const std::string name = attempt == 0 ? file_name_ : unique_name(file_name_, attempt);
        if (file_.open(name, mode)) {
            opened_name_ = name;
            return;
        }
    }
    // No name worked: later lines go only to the debugger, and no later line
    // tries the file again.
    file_name_.clear();
}

void LogFileBuf::close_file() {
    if (file_.is_open())
        file_.close();
}

}  // namespace tovan
