#include "tovan/io/BasicRegistry.h"

#include "tovan/io/OStream.h"

namespace tovan::io {

bool BasicRegistry::write_object_reference(OStream& stream, std::uint32_t id, std::string_view name,
                                           bool without_identity) {
    if (!stream.write_u32(without_identity ? WithoutIdentity : id))
        return false;
    if (without_identity)
        return write_factory(stream, name);
    if (id == 0 || written_objects_.count(id) != 0)
        return false;
    if (!write_factory(stream, name))
        return false;
    written_objects_.insert(id);
    return true;
}

std::uint32_t BasicRegistry::written_id(std::string_view name) const {
    const auto found = written_names_.find(std::string(name));
    return found != written_names_.end() ? found->second : 0;
}

std::uint32_t BasicRegistry::add_written_name(std::string_view name) {
    const auto id = static_cast<std::uint32_t>(written_names_.size() + 1);
    written_names_.emplace(std::string(name), id);
    return id;
}

}  // namespace tovan::io
