#include "app/RecordIo.h"

#include <string>

#include "tovan/TextualErrorInfo.h"

namespace tovan {

std::uint8_t read_record_version(io::IStream& in, std::uint8_t newest, const char* record) {
    std::uint8_t version = 0;
    in.read_byte(version);
    if (version > newest) {
        const std::string text = std::string(record) + " of an unknown later version " +
                                 std::to_string(version) + "; a newer Ferrovane wrote this file";
        TextualErrorInfo info(text.c_str());
        in.throw_failure_(&info);
    }
    return version;
}

std::uint32_t read_list_count(io::IStream& in, std::size_t min_record_size) {
    constexpr std::uint32_t Escape = 0xFFFFFFFE;
    std::uint32_t count = 0;
    if (!in.read_u32(count))
        return 0;
    if (count == Escape && !in.read_u32(count))
        return 0;
    return in.ensure_left(static_cast<std::uint64_t>(count) * min_record_size) ? count : 0;
}

}  // namespace tovan
