#pragma once

#include <QString>
#include <string>

namespace tovan {

// The text with a capital first letter. The core's messages begin in lower case,
// as they follow the program's name on a terminal; a window shows them alone.
QString as_sentence(const QString& text);
QString as_sentence(const std::string& text);

}  // namespace tovan
