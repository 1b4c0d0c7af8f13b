#pragma once

#include <string_view>

namespace tovan {

// Tests the whole text against a pattern where "*" matches any run of characters
// (none included), "?" exactly one character (a whole UTF-8 sequence) and every
// other character itself. Case is matched as given: callers fold both sides.
bool wildcard_match(std::string_view pattern, std::string_view text);

}  // namespace tovan
