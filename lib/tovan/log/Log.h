#pragma once

#include <string>

namespace tovan {

class LogFileBuf;
class LogStream;

// The one log of a run. Unless configured, it is the program's own path with
// ".log" added, or, where the program's folder cannot be written, the same file
// name in the fallback folder. Its verbosity settings come from the log's name
// with ".ini" added, read once before the first line.
class Log {
public:
    // Points the log at file_name (empty: beside the program) and names the folder
    // to use when the program's folder cannot be written. The file in use is
    // closed; the settings are read again before the next line.
    static void configure(const std::string& file_name = {},
                          const std::string& fallback_folder = {});

    // The name the log is written under (before any unique-name fallback).
    static std::string file_name();
    // The name that was opened: differs when the first choice could not be opened,
    // empty while nothing was written or when no name could be opened.
    static std::string opened_file_name();
    // Writes out what is buffered; returns nothing, fails silently.
    static void flush() noexcept;

    // The target for a message of the channel, or null when the message does not
    // pass the verbosity settings. Creates the target on first use.
    static LogFileBuf* target_for(const LogStream& channel, int verbosity);

    // The default log name for a program at executable_path.
    static std::string default_file_name(const std::string& executable_path,
                                         const std::string& fallback_folder);
    static bool debugger_attached();
};

}  // namespace tovan
