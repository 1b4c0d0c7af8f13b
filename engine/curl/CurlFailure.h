#pragma once

#include <curl/curl.h>

#include "engine/connection/ReachFailure.h"

namespace tovan {

// The kind of a failed libcurl transfer, from its code, the server's last reply
// code (FTP or HTTP) and the system's error of the connect (CURLINFO_OS_ERRNO).
ReachFailure::Kind curl_failure_kind(CURLcode code, long reply, long os_error);

// The same read from the handle that ran the transfer.
ReachFailure::Kind curl_failure_kind(CURL* handle, CURLcode code);

}  // namespace tovan
