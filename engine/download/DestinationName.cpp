#include "engine/download/DestinationName.h"

#include <cerrno>
#include <cstdint>

namespace tovan {
namespace {

// The name cut to at most size bytes, never within a UTF-8 character.
std::string_view cut(std::string_view name, std::size_t size) {
    if (name.size() <= size)
        return name;
    while (size > 0 && (static_cast<unsigned char>(name[size]) & 0xC0) == 0x80) --size;
    return name.substr(0, size);
}

// FNV-1a: the same name gives the same hash in every run.
std::string hash_text(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    static const char hex[] = "0123456789abcdef";
    std::string digits(8, '0');
    for (int at = 7; at >= 0; --at, hash >>= 4)
        digits[static_cast<std::size_t>(at)] = hex[hash & 15];
    return digits;
}

// Where the name begins within the path.
std::size_t name_start(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

// Where the name's ending begins: its last ".", or ".tar." before it; the
// name's size when it has none (a leading dot starts no ending).
std::size_t ending_start(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return name.size();
    const std::string_view stem = name.substr(0, dot);
    if (stem.size() > 4 && stem.ends_with(".tar"))
        return dot - 4;
    return dot;
}

}  // namespace

bool DestinationName::is_safe(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

bool DestinationName::is_inside(std::string_view folder, std::string_view destination) {
    const std::string prefix = as_folder(std::string(folder));
    if (!destination.starts_with(prefix))
        return false;
    std::string_view rest = destination.substr(prefix.size());
    for (;;) {
        const std::size_t slash = rest.find('/');
        if (!is_safe(rest.substr(0, slash)))
            return false;
        if (slash == std::string_view::npos)
            return true;
        rest.remove_prefix(slash + 1);
    }
}

std::string DestinationName::as_folder(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

// A name too long for any file system is left whole: creating it fails and
// says so.
std::string DestinationName::part_of(std::string_view destination, std::string_view tag) {
    const std::size_t start = name_start(destination);
    const std::string_view name = destination.substr(start);
    const std::string ending = "." + std::string(tag) + ".part";
    std::string part(destination.substr(0, start));
    if (name.size() + ending.size() <= MaxName || name.size() > MaxName)
        return part.append(name).append(ending);
    const std::string hash = "~" + hash_text(name);
    return part.append(cut(name, MaxName - ending.size() - hash.size()))
        .append(hash)
        .append(ending);
}

bool DestinationName::is_refused_by_system(int error) {
    return error == ENAMETOOLONG || error == EINVAL || error == EILSEQ;
}

std::string DestinationName::numbered(std::string_view destination, unsigned n) {
    const std::size_t start = name_start(destination);
    const std::string_view name = destination.substr(start);
    const std::size_t dot = ending_start(name);
    const std::string number = " (" + std::to_string(n) + ")";
    const std::string_view ending = name.substr(dot);
    std::string_view stem = name.substr(0, dot);
    if (name.size() <= MaxName && name.size() + number.size() > MaxName)
        stem =
            cut(stem, MaxName - number.size() - std::min(ending.size(), MaxName - number.size()));
    return std::string(destination.substr(0, start)).append(stem).append(number).append(ending);
}

}  // namespace tovan
