#include "app/Autostart.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/SystemPaths.h"
#include "tovan/Paths.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

bool log_failure(const char* what, const std::string& path, int code) {
    error_log(1) << "autostart: can't " << what << " " << path << ": "
                 << std::system_category().message(code) << std::endl;
    return false;
}

// A control character would end the Exec line early and let the rest of the path
// be read as further keys of the entry.
bool fits_one_line(const std::string& path) {
    for (const char c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return !path.empty();
}

bool remove_file(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return log_failure("remove", path, errno);
    return true;
}

// An entry is a few lines; anything much longer is not one of ours.
std::string first_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(4096, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

}  // namespace

std::string Autostart::default_folder() {
    const std::string config = SystemPaths::config_home();
    return config.empty() ? std::string() : in_folder(config, "autostart");
}

Autostart::Autostart(std::string folder, std::string executable_path)
    : folder_(std::move(folder)), executable_path_(std::move(executable_path)) {}

bool Autostart::apply(bool enabled) const {
    if (folder_.empty()) {
        error_log(1) << "autostart: no configuration folder is known (neither HOME nor "
                        "XDG_CONFIG_HOME is set)"
                     << std::endl;
        return false;
    }
    const bool applied = enabled ? write_entry() : remove_entry();
    return remove_old_entry() && applied;
}

std::string Autostart::entry_path() const {
    return in_folder(folder_, EntryName);
}

std::string Autostart::entry_text() const {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Ferrovane\n"
           "Exec=" +
           quoted_for_exec(executable_path_) +
           "\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::string Autostart::quoted_for_exec(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$') {
            quoted += "\\\\";
        } else if (c == '\\') {
            quoted += "\\\\\\";
        } else if (c == '%') {
            quoted += '%';
        }
        quoted += c;
    }
    return quoted + "\"";
}

// The entry is written beside itself and renamed over the old one, so a session
// that starts meanwhile reads either entry whole.
bool Autostart::write_entry() const {
    if (!fits_one_line(executable_path_))
        return log_failure("write an entry for", "the program path \"" + executable_path_ + "\"",
                           EINVAL);
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error)
        return log_failure("create", folder_, error.value());
    const std::string path = entry_path();
    const std::string staging = path + ".new";
    const int descriptor = ::open(staging.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return log_failure("write", staging, errno);
    const std::string text = entry_text();
    const ssize_t written = ::write(descriptor, text.data(), text.size());
    const int code = written < 0 ? errno : ENOSPC;
    ::close(descriptor);
    if (written != static_cast<ssize_t>(text.size())) {
        ::unlink(staging.c_str());
        return log_failure("write", staging, code);
    }
    if (::rename(staging.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(staging.c_str());
        return log_failure("write", path, code);
    }
    return true;
}

bool Autostart::remove_entry() const {
    return remove_file(entry_path());
}

bool Autostart::remove_old_entry() const {
    const std::string path = in_folder(folder_, OldEntryName);
    return !is_old_entry(first_bytes(path)) || remove_file(path);
}

bool Autostart::is_old_entry(const std::string& text) {
    static const std::string head = "[Desktop Entry]\nType=Application\nName=Ferrovane\nExec=\"";
    static const std::string tail = "/ferrovane\"\nX-GNOME-Autostart-enabled=true\n";
    return text.size() >= head.size() + tail.size() && text.starts_with(head) &&
           text.ends_with(tail) && std::count(text.begin(), text.end(), '\n') == 5;
}

}  // namespace tovan
