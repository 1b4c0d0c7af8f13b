#pragma once

#include <string>
#include <vector>

namespace tovan {

// Data files that are there but cannot be read. The program goes on without such
// a file (an empty catalog, the default options), so its next save would write
// over it and lose what may still be saved from it: a run that may write first
// moves it aside under a free name beside it, a run that only reads leaves it
// where it is. Either way the user is told, in warnings that the command line
// prints and a window can show.
class DamagedFiles {
public:
    enum class Handling { KeepAside, LeaveInPlace };

    explicit DamagedFiles(Handling handling = Handling::KeepAside) : handling_(handling) {}

    // The file at path could not be read for the reason why. `what` names it for
    // the user and `outcome` says what the program uses instead. Raises
    // tovan::io::Failure when the file cannot be moved aside, since running on
    // would overwrite it.
    void found(const std::string& path, const std::string& what, const std::string& why,
               const std::string& outcome);

    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    // The first of path + ".damaged", ".damaged.2", ".damaged.3"... that is free.
    static std::string free_name(const std::string& path);
    // Moves the file to a free name and returns that name.
    static std::string keep_aside(const std::string& path);

    Handling handling_;
    std::vector<std::string> warnings_;
};

}  // namespace tovan
