#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "tovan/File.h"

namespace tovan {

// The log's output: collects the text of one statement and writes it out line by
// line, each line behind a prefix of its channel ("[tovan.io] error: "), with
// continuation lines indented to stand under the first line's text. The file is
// opened on the first output, so a run that logs nothing keeps the previous log.
class LogFileBuf : public std::streambuf {
public:
    static constexpr std::size_t LineSize = 4096;
    static constexpr int MaxUniqueTries = 100;

    LogFileBuf(std::string file_name, bool debugger_output);
    ~LogFileBuf() override;

    // Held for a whole statement; reentrant for the thread that holds it.
    std::recursive_mutex& lock() { return lock_; }
    std::ostream& stream() { return stream_; }

    void start_line(std::string_view channel, int level, int verbosity);
    // A statement that did not end its line gets a line break, so that the next
    // statement, of any thread, starts a line of its own.
    void end_statement();

    // Closes the current file; the next output opens the new name.
    void set_file_name(std::string file_name);
    // The name the file was opened under: a unique name when the first was taken,
    // empty before the first output and when no name could be opened.
    const std::string& opened_name() const { return opened_name_; }

    // "a.log" gives "a.prev.log"; "a" gives "a.prev".
    static std::string backup_name(const std::string& name);
    // "a.log" and 11 give "a_b.log": the number in base 36 before the extension.
    static std::string unique_name(const std::string& name, int number);

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    void write_out();
    std::string compose(std::string_view text);
    void open_file();
    void close_file();

    std::recursive_mutex lock_;
    bool debugger_output_;
    File file_{true};
    std::string file_name_;
    std::string opened_name_;
    std::unique_ptr<char[]> line_;
    std::string channel_;
    int level_ = 2;
    int verbosity_ = 0;
    std::string prefix_;
    bool new_line_pending_ = true;
    bool indent_pending_ = false;
    bool line_open_ = false;  // the last text written out did not end its line
    std::ostream stream_{this};
};

}  // namespace tovan
