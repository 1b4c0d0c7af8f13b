#include "app/DamagedFiles.h"

#include <sys/stat.h>

#include <cstdio>

#include "tovan/SystemErrorInfo.h"
#include "tovan/TextualErrorInfo.h"
#include "tovan/io/Failure.h"
#include "tovan/log/FailureRecord.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

bool taken(const std::string& path) {
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

}  // namespace

void DamagedFiles::found(const std::string& path, const std::string& what, const std::string& why,
                         const std::string& outcome) {
    std::string warning = what + " can't be read (" + why + "); " + outcome;
    if (handling_ == Handling::KeepAside)
        warning += "; the damaged file is kept as " + keep_aside(path);
    else
        warning += "; the file is left as it is, since this run only reads";
    warning_log(1) << warning << std::endl;
    warnings_.push_back(std::move(warning));
}

std::string DamagedFiles::free_name(const std::string& path) {
    std::string name = path + ".damaged";
    for (int number = 2; taken(name); ++number) name = path + ".damaged." + std::to_string(number);
    return name;
}

// The data folder's lock keeps any other Ferrovane from taking the free name in
// between.
std::string DamagedFiles::keep_aside(const std::string& path) {
    const std::string copy = free_name(path);
    if (std::rename(path.c_str(), copy.c_str()) == 0)
        return copy;
    SystemErrorInfo system;
    system.set_context(path.c_str());
    TextualErrorInfo text("a damaged file can't be moved aside: ");
    text.set_cause(&system);
    const io::Failure failure(text);
    FailureRecord::write(failure.what());
    throw failure;
}

}  // namespace tovan
