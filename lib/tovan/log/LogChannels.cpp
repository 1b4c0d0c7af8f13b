#include "tovan/log/LogChannels.h"

namespace tovan {

// constinit: channels are used from static constructors and destructors of
// other files, so they must never wait for dynamic initialisation.
constinit const LogStream error_log("", LogStream::ErrorChannel);
constinit const LogStream warning_log("", LogStream::WarningChannel);
constinit const LogStream plain_log("", 0);
constinit const LogStream exception_log("exception", LogStream::ErrorChannel);

namespace io {
constinit const LogStream plain_log("tovan.io", 0);
constinit const LogStream warning_log("tovan.io", LogStream::WarningChannel);
constinit const LogStream error_log("tovan.io", LogStream::ErrorChannel);
}  // namespace io

}  // namespace tovan
