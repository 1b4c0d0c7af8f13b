#pragma once

#include <string>

namespace tovan {

// The partial file of a download job, and its last step: the move to the
// destination's name. A file that is there already, or that appears while the
// job runs, is never replaced; the finished file takes "NAME (1).ext", or the
// next number free, instead.
class PartFile {
public:
    // Moves the finished part to wanted or the first free numbered name, and
    // returns the name it took. Raises a tovan::Exception when it cannot.
    static std::string settle(const std::string& part, const std::string& wanted);
    // Takes over a destination that an older version of the job wrote into
    // directly, when it holds exactly the bytes the job counted: it becomes the
    // part. False when it is not there, or is not that file.
    static bool adopt(const std::string& destination, std::uint64_t counted,
                      const std::string& part);
};

}  // namespace tovan
