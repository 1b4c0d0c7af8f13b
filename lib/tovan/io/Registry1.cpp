#include "tovan/io/Registry1.h"

#include <string>

#include "tovan/io/Factory.h"
#include "tovan/io/Failure.h"
#include "tovan/io/IStream.h"
#include "tovan/io/InvalidFactoryIdError.h"
#include "tovan/io/InvalidFactoryNameLengthError.h"
#include "tovan/io/OStream.h"
#include "tovan/log/FailureRecord.h"
#include "tovan/log/LogChannels.h"

namespace tovan::io {
namespace {

// Names written by older versions under their long namespace names.
const Factory* find_with_short_namespaces(const std::string& name) {
    static const char* const renames[][2] = {{"windows::", "win::"},
                                             {"graphics::", "g::"},
                                             {"mathematics::", "math::"},
                                             {"scene_graph::", "sg::"},
                                             {"direct3d::", "d3d::"}};
    std::string shortened = name;
    bool replaced = false;
    for (const auto& rename : renames) {
        const std::string from = rename[0], to = rename[1];
        for (std::size_t at = shortened.find(from); at != std::string::npos;
             at = shortened.find(from, at + to.size())) {
            shortened.replace(at, from.size(), to);
            replaced = true;
        }
    }
    return replaced ? Factory::find(shortened) : nullptr;
}

}  // namespace

bool Registry1::write_factory(OStream& stream, std::string_view name) {
    const std::uint32_t known = written_id(name);
    if (known != 0) {
        if (stream.write_u32(0) && stream.write_u32(known))
            return true;
        io::error_log(1) << "Failed to write factory id." << std::endl;
        return false;
    }
    if (name.empty()) {
        const char* const text = "Invalid attempt to store empty factory name.";
        FailureRecord::write("tovan/io/Registry1", __LINE__, "tovan::io::Registry1::write_factory",
                             text);
        throw Failure(text);
    }
    if (stream.write_u32(static_cast<std::uint32_t>(name.size())) &&
        stream.write_bytes(name.data(), name.size())) {
        add_written_name(name);
        return true;
    }
    io::error_log(1) << "Failed to write factory name." << std::endl;
    return false;
}

const Factory* Registry1::read_factory(IStream& stream, bool report) {
    std::uint32_t length = 0;
    if (!stream.read_u32(length) || !stream.good())
        return nullptr;
    if (length == 0)
        return read_factory_id(stream);
    if (length <= MaxNameLength)
        return read_factory_name(stream, length, report);
    io::error_log(1) << "Invalid factory name length (" << length << ")." << std::endl;
    InvalidFactoryNameLengthError error(length);
    stream.setstate(Stream::Fail, &error);
    return nullptr;
}

const Factory* Registry1::read_factory_id(IStream& stream) {
    std::uint32_t id = 0;
    if (!stream.read_u32(id)) {
        io::error_log(1) << "Failed to read factory id." << std::endl;
        return nullptr;
    }
    const auto loaded = static_cast<std::uint32_t>(met_factories().size());
    if (id == 0 || id > loaded) {
        io::error_log(1) << "Invalid factory id (" << id << ") while loading object. There are "
                         << loaded << " factories loaded at the time." << std::endl;
        InvalidFactoryIdError error(id, loaded);
        stream.setstate(Stream::Fail, &error);
        return nullptr;
    }
    return met_factories()[id - 1];
}

const Factory* Registry1::read_factory_name(IStream& stream, std::uint32_t length, bool report) {
    char stored[MaxNameLength];
    if (!stream.read_bytes(stored, length)) {
        io::error_log(1) << "Reading factory name failed." << std::endl;
        return nullptr;
    }
    const std::string name(stored, length);
    const Factory* factory = Factory::find(name);
    if (factory == nullptr)
        factory = find_with_short_namespaces(name);
    // Unknown names take up their id too, so that later ids stay in step.
    met_factories().push_back(factory);
    if (factory == nullptr && report)
        io::warning_log(1) << "`" << name << "' factory not found." << std::endl;
    return factory;
}

}  // namespace tovan::io
