#include "app/SearchMasks.h"

#include "tovan/Utf8Case.h"
#include "tovan/Wildcard.h"

namespace tovan {
namespace {

// The next token of the mask text: up to the first ",", else the first ";", else
// the whole rest. While a "," remains, a ";" before it stays inside the token.
std::string_view next_token(std::string_view& rest) {
    std::size_t end = rest.find(',');
    if (end == std::string_view::npos)
        end = rest.find(';');
    const std::string_view token = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return token;
}

}  // namespace

SearchMasks::SearchMasks(std::string_view text) {
    while (!text.empty()) {
        std::string_view token = next_token(text);
        const std::size_t first = token.find_first_not_of(' ');
        token.remove_prefix(first == std::string_view::npos ? token.size() : first);
        if (token.empty())
            continue;
        masks_.push_back("*" + upped(token) + "*");
        compiled_.push_back(compile(masks_.back()));
    }
}

SearchMasks::Compiled SearchMasks::compile(std::string pattern) {
    Compiled mask;
    mask.literal = pattern.find('?') == std::string::npos;
    if (mask.literal) {
        std::size_t start = 0;
        for (std::size_t star = pattern.find('*'); star != std::string::npos;
             star = pattern.find('*', start)) {
            mask.parts.push_back(pattern.substr(start, star - start));
            start = star + 1;
        }
        mask.parts.push_back(pattern.substr(start));
    }
    mask.pattern = std::move(pattern);
    return mask;
}

// The first part must start the path, the last must end it, and those between
// are taken leftmost in turn: with literal parts the leftmost choice never loses
// a match.
bool SearchMasks::match_literal(const Compiled& mask, std::string_view path) {
    const std::vector<std::string>& parts = mask.parts;
    if (parts.size() == 1)
        return path == parts[0];
    if (!path.starts_with(parts.front()))
        return false;
    std::size_t at = parts.front().size();
    for (std::size_t i = 1; i + 1 < parts.size(); ++i) {
        if (parts[i].empty())
            continue;
        const std::size_t found = path.find(parts[i], at);
        if (found == std::string_view::npos)
            return false;
        at = found + parts[i].size();
    }
    return path.size() - at >= parts.back().size() && path.ends_with(parts.back());
}

bool SearchMasks::spans_whole_path(const Compiled& mask) {
    return mask.literal && mask.parts.size() >= 2 && mask.parts.front().empty() &&
           mask.parts.back().empty();
}

bool SearchMasks::match_upped(std::string_view path) const {
    if (compiled_.empty())
        return true;
    for (const Compiled& mask : compiled_) {
        const bool match =
            mask.literal ? match_literal(mask, path) : wildcard_match(mask.pattern, path);
        if (match)
            return true;
    }
    return false;
}

// Copies and upper-cases ASCII in one branchless pass the compiler vectorises,
// noting any byte past ASCII; a name with one is upper-cased again as UTF-8.
void SearchMasks::append_upped(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.resize(start + text.size());
    char* to = out.data() + start;
    unsigned char beyond_ascii = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        beyond_ascii |= c;
        to[i] = static_cast<char>(c - (static_cast<unsigned>(c - 'a') < 26u ? 'a' - 'A' : 0));
    }
    if (beyond_ascii >= 0x80) {
        out.resize(start);
        out += to_upper_utf8(text);
    }
}

std::string SearchMasks::upped(std::string_view text) {
    std::string out;
    append_upped(out, text);
    return out;
}

}  // namespace tovan
