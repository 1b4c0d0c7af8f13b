#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "tovan/io/Registry.h"

namespace tovan::io {

// The factories and object identities met in one stream.
class BasicRegistry : public Registry {
public:
    static constexpr std::uint32_t WithoutIdentity = 1;

    // Writes an object reference: 1 for an object without identity, else its id,
    // then (unless the id was written before) the factory reference. Returns true
    // when the object's own data must follow.
    bool write_object_reference(OStream& stream, std::uint32_t id, std::string_view name,
                                bool without_identity);

protected:
    // The id a name was given when it was first written, 0 when it was not.
    std::uint32_t written_id(std::string_view name) const;
    std::uint32_t add_written_name(std::string_view name);

    // Factories met while reading, in order of their ids (null for unknown names).
    std::vector<const Factory*>& met_factories() { return met_factories_; }

private:
    std::unordered_map<std::string, std::uint32_t> written_names_;
    std::vector<const Factory*> met_factories_;
    std::unordered_set<std::uint32_t> written_objects_;
};

}  // namespace tovan::io
