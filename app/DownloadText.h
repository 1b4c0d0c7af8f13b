#pragma once

#include <string>

#include "engine/download/Downloader.h"

namespace tovan {

// A job's state in one word: "complete", "failed", "waiting", "connecting",
// "paused", "disconnecting" or "running".
std::string state_name(Downloader::State state);

// What the downloads list shows in its Speed column: "complete", "failed: " and
// why (the server's answer, such as "HTTP/1.1 404 Not Found"), "wait(12s)",
// "connecting", "paused", "disconnecting", or the job's speed while it runs.
std::string speed_column_text(const Downloader::Status& status);

}  // namespace tovan
