#pragma once

#include <string>

#include "engine/connection/ReachFailure.h"

namespace tovan {

// The short English text that the log gives an error of the SMB client
// (an errno value, as libsmbclient sets it) or of share enumeration.
std::string smb_error_text(int error);

// The text followed by " err_code: " and the code, as failed SMB calls are logged.
std::string smb_error_line(int error);

// The kind of failure an errno value of the SMB client stands for: a refused
// login and a forbidden share both arrive as EACCES.
ReachFailure::Kind smb_failure_kind(int error);

}  // namespace tovan
