#include "tovan/log/Log.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <mutex>

#include "tovan/Paths.h"
#include "tovan/log/ChannelTable.h"
#include "tovan/log/LogFileBuf.h"
#include "tovan/log/LogSettingsReader.h"
#include "tovan/log/LogStream.h"
#include "tovan/log/LogSuppression.h"

namespace tovan {

thread_local int LogSuppression::depth_ = 0;

namespace {

struct LogState {
    std::recursive_mutex lock;
    std::string file_name;
    std::string fallback_folder;
    bool configured = false;
    bool settings_loaded = false;
    ChannelTable settings;
    LogFileBuf* target = nullptr;
};

// Never destroyed: static destructors of other files may still log.
LogState& state() {
    static LogState* const the_state = new LogState;
    return *the_state;
}

void resolve_file_name(LogState& s) {
    if (s.configured)
        return;
    s.file_name = Log::default_file_name(program_path(), s.fallback_folder);
    s.configured = true;
}

void load_settings(LogState& s) {
    const LogSuppression quiet;
    s.settings = ChannelTable();
    LogSettingsReader(s.settings, std::cerr).read_file(s.file_name + ".ini");
    s.settings_loaded = true;
}

bool passes(const ChannelTable& settings, const LogStream& channel, int verbosity) {
    static const VerbositySettings everything;
    const VerbositySettings* all = settings.find("!");
    if (all != nullptr && !all->passes(channel.level(), verbosity))
        return false;
    const VerbositySettings* own = settings.find(channel.name());
    if (own == nullptr)
        own = settings.find("*");
    return (own != nullptr ? own : &everything)->passes(channel.level(), verbosity);
}

}  // namespace

void Log::configure(const std::string& file_name, const std::string& fallback_folder) {
    LogFileBuf* target;
    std::string name;
    {
        LogState& s = state();
        std::lock_guard guard(s.lock);
        s.fallback_folder = fallback_folder;
        s.configured = !file_name.empty();
        s.file_name = file_name;
        resolve_file_name(s);
        s.settings_loaded = false;
        target = s.target;
        name = s.file_name;
    }
    // The target's lock is taken outside the global one: a statement in progress
    // holds the target's lock and may look a channel up.
    if (target != nullptr)
        target->set_file_name(name);
}

std::string Log::file_name() {
    LogState& s = state();
    std::lock_guard guard(s.lock);
    resolve_file_name(s);
    return s.file_name;
}

std::string Log::opened_file_name() {
    LogFileBuf* target;
    {
        LogState& s = state();
        std::lock_guard guard(s.lock);
        target = s.target;
    }
    if (target == nullptr)
        return {};
    std::lock_guard guard(target->lock());
    return target->opened_name();
}

void Log::flush() noexcept {
    try {
        LogState& s = state();
        LogFileBuf* target;
        {
            std::lock_guard guard(s.lock);
            target = s.target;
        }
        if (target == nullptr)
            return;
        std::lock_guard guard(target->lock());
        target->pubsync();
    } catch (...) {
    }
}

LogFileBuf* Log::target_for(const LogStream& channel, int verbosity) {
    if (LogSuppression::active())
        return nullptr;
    LogState& s = state();
    std::lock_guard guard(s.lock);
    resolve_file_name(s);
    if (!s.settings_loaded)
        load_settings(s);
    if (!passes(s.settings, channel, verbosity))
        return nullptr;
    if (s.target == nullptr)
        s.target = new LogFileBuf(s.file_name, debugger_attached());
    return s.target;
}

std::string Log::default_file_name(const std::string& executable_path,
                                   const std::string& fallback_folder) {
    if (executable_path.empty())
        return "_tovan.log";
    const std::size_t slash = executable_path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : executable_path.substr(0, slash + 1);
    if (::access(folder.c_str(), W_OK) == 0 || fallback_folder.empty())
        return executable_path + ".log";
    return in_folder(fallback_folder, executable_path.substr(slash + 1) + ".log");
}

bool Log::debugger_attached() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("TracerPid:", 0) == 0)
            return std::strtol(line.c_str() + 10, nullptr, 10) != 0;
    }
    return false;
}

}  // namespace tovan
