#pragma once

#include <string>

namespace tovan::cli {

// One line on stderr that is rewritten in place, shown only while stdout is a
// terminal: piped output and logs stay free of carriage returns.
class Progress {
public:
    Progress();
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void show(const std::string& text);
    // Removes the line, so that a result can be printed in its place.
    void clear();

private:
    bool enabled_ = false;
    bool shown_ = false;
};

}  // namespace tovan::cli
