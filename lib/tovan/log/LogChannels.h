#pragma once

#include "tovan/log/LogStream.h"

// The channels of the program and of its library.
namespace tovan {

// Unnamed channels: the application's own lines.
extern const LogStream error_log;
extern const LogStream warning_log;
extern const LogStream plain_log;
// Failure records, written before a failure is raised.
extern const LogStream exception_log;

namespace io {
// Files and streams: opens, failed opens, reads and writes.
extern const LogStream plain_log;
extern const LogStream warning_log;
extern const LogStream error_log;
}  // namespace io

}  // namespace tovan
