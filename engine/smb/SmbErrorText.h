#pragma once

#include <string>

namespace tovan {

// The short English text that the log gives an error of the SMB client
// (an errno value, as libsmbclient sets it) or of share enumeration.
std::string smb_error_text(int error);

// The text followed by " err_code: " and the code, as failed SMB calls are logged.
std::string smb_error_line(int error);

}  // namespace tovan
