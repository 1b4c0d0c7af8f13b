#include "app/TimeText.h"

#include <cstdio>
#include <ctime>

namespace tovan {
namespace {

std::string local_text(std::int64_t time, const char* format) {
    if (time == 0)
        return {};
    const std::time_t when = static_cast<std::time_t>(time);
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr)
        return {};
    char text[64];
    return std::string(text, std::strftime(text, sizeof(text), format, &local));
}

}  // namespace

std::string date_text(std::int64_t time) {
    return local_text(time, "%Y-%m-%d %H:%M");
}

std::string stamp_text(std::int64_t time) {
    return local_text(time, "%Y-%m-%d %H:%M:%S");
}

// strftime's "%z" reads "+0100"; ISO 8601 as most parsers take it wants "+01:00".
std::string iso_time_text(std::int64_t time) {
    const std::string text = local_text(time, "%Y-%m-%dT%H:%M:%S%z");
    if (text.size() < 2)
        return text;
    const std::size_t minutes = text.size() - 2;
    return text.substr(0, minutes) + ":" + text.substr(minutes);
}

std::string duration_text(std::int64_t seconds) {
    seconds = seconds < 0 ? 0 : seconds;
    char text[48];
    if (seconds < 3600)
        std::snprintf(text, sizeof(text), "%d:%02d", static_cast<int>(seconds / 60),
                      static_cast<int>(seconds % 60));
    else
        std::snprintf(text, sizeof(text), "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                      static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

}  // namespace tovan
