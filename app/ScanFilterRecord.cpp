#include "app/ScanFilterRecord.h"

#include "app/RecordIo.h"

namespace tovan {
namespace {

std::vector<std::string> read_text_list(io::IStream& in) {
    const std::uint32_t count = read_list_count(in, 4);
    std::vector<std::string> texts(count);
    for (std::string& text : texts) in.read_text(text);
    return texts;
}

}  // namespace

void ScanFilterRecord::write(io::OStream& out, const ScanFilter& filter) {
    out.write_byte(Version);
    const std::map<std::string, std::int32_t> depths = filter.depths();
    out.write_u32(static_cast<std::uint32_t>(depths.size()));
    for (const auto& [key, depth] : depths) {
        out.write_text(key);
        out.write_i32(depth);
    }
    out.write_texts(filter.masks());
}

void ScanFilterRecord::read(io::IStream& in, ScanFilter& filter) {
    const std::uint8_t version = read_record_version(in, Version, "change filter");
    std::uint32_t count = 0;
    in.read_count(count, 4 + 4);
    std::map<std::string, std::int32_t> depths;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string key;
        std::int32_t depth = 0;
        in.read_text(key);
        in.read_i32(depth);
        depths[std::move(key)] = depth;
    }
    filter.set_depths(std::move(depths));
    if (version == 1) {
        std::vector<std::string> masks;
        for (const std::string& pattern : read_text_list(in)) masks.push_back("-" + pattern);
        filter.set_masks(std::move(masks));
    } else if (version >= 2) {
        filter.set_masks(read_text_list(in));
    }
}

}  // namespace tovan
