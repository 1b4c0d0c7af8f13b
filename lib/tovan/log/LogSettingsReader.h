#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "tovan/log/ChannelTable.h"

namespace tovan {

// Reads the log settings file (".log.ini"), for example:
//
//     # the file layer says too much
//     [tovan.io]
//     info -5        ; plain lines up to verbosity 4
//     [!]  error *   ; every error line, whatever the channel
//     ["my \"odd\" channel"] = -1
//     [*]  off       ; every channel without settings of its own is silent
//
// "#", ";" and "/" start a comment that runs to the end of the line. A level word
// is recognised by its first letter (e error, w warning, i plain) and takes the
// value that follows; a value without a level word sets all three levels. A
// value is a whole number with an optional sign, optionally after "=", or "*"
// (no limit). "off" and "on" disable and enable the section's channel. A line
// that does not follow this grammar is reported with its number and the rest of
// it is skipped; the lines before and after it still count.
class LogSettingsReader {
public:
    LogSettingsReader(ChannelTable& table, std::ostream& errors) : table_(table), errors_(errors) {}

    // Returns false when the file cannot be read (a missing file changes nothing).
    bool read_file(const std::string& path);
    void read(std::istream& in, const std::string& source);

private:
    // Returns false and reports when the line is malformed.
    bool read_line(const std::string& line);
    bool read_section(const std::string& line, std::size_t& at);
    bool read_word(const std::string& line, std::size_t& at);
    bool read_value(const std::string& line, std::size_t& at);
    bool report(const char* message);

    ChannelTable& table_;
    std::ostream& errors_;
    std::string source_;
    int line_number_ = 0;
    VerbositySettings* section_ = nullptr;
    int level_ = -1;  // the level word waiting for its value, -1 for none
};

}  // namespace tovan
