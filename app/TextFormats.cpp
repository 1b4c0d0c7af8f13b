#include "app/TextFormats.h"

#include <cstdio>
#include <ctime>

namespace tovan {
namespace {

constexpr std::int64_t Kilo = 1024;
constexpr std::int64_t Mega = Kilo * 1024;
constexpr std::int64_t Giga = Mega * 1024;

std::string one_decimal(double value) {
    char text[64];
    std::snprintf(text, sizeof(text), "%0.1f", value);
    return text;
}

std::string scaled_text(std::int64_t count, const char* const (&units)[4]) {
    if (count < Kilo)
        return std::to_string(count) + units[0];
    const float value = static_cast<float>(count);
    if (count < Mega)
        return one_decimal(value / static_cast<float>(Kilo)) + units[1];
    if (count < Giga)
        return one_decimal(value / static_cast<float>(Mega)) + units[2];
    return one_decimal(value / static_cast<float>(Giga)) + units[3];
}

constexpr const char* SizeUnits[4] = {" Bytes", " KB", " MB", " GB"};
constexpr const char* SpeedUnits[4] = {" B/S", " KB/S", " MB/S", " GB/S"};

}  // namespace

std::string size_text(std::int64_t bytes) {
    return scaled_text(bytes, SizeUnits);
}

std::string speed_text(std::int64_t bytes_per_second) {
    return scaled_text(bytes_per_second, SpeedUnits);
}

std::string size_difference_text(std::uint64_t new_size, std::uint64_t old_size) {
    if (new_size > old_size)
        return "+" + size_text(static_cast<std::int64_t>(new_size - old_size));
    return "-" + size_text(static_cast<std::int64_t>(old_size - new_size));
}

std::string time_text(std::int64_t time, bool changed) {
    const std::time_t when = static_cast<std::time_t>(time);
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr)
        return {};
    char text[128];
    const std::size_t length = std::strftime(text, sizeof(text), "%c", &local);
    return (changed ? "*" : "") + std::string(text, length);
}

std::string short_size_text(std::uint64_t bytes) {
    if (bytes < static_cast<std::uint64_t>(Kilo))
        return std::to_string(bytes) + " b";
    if (bytes < static_cast<std::uint64_t>(Mega))
        return std::to_string(bytes / Kilo) + " kb";
    if (bytes < static_cast<std::uint64_t>(Giga))
        return std::to_string(bytes / Mega) + " mb";
    return std::to_string(bytes / Giga) + " gb";
}

std::string progress_text(double progress, double file_progress, std::size_t file_count) {
    std::string text = progress < 0 ? "?" : one_decimal(progress);
    if (file_count > 1 && file_progress >= 0)
        text += "(" + one_decimal(file_progress) + ")";
    return text + "%";
}

const char* change_sign(EntryState state) {
    switch (state) {
        case EntryState::New:
            return "+";
        case EntryState::Modified:
            return "*";
        case EntryState::Deleted:
            return "-";
        default:
            return "";
    }
}

}  // namespace tovan
