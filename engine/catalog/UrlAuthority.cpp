#include "engine/catalog/UrlAuthority.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>

namespace tovan {
namespace {

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool is_address(int family, const std::string& text) {
    unsigned char bytes[16];
    return ::inet_pton(family, text.c_str(), bytes) == 1;
}

bool is_host_byte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~' || byte >= 0x80;
}

bool is_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A host that ends in a number is an IPv4 address or nothing: resolvers would
// read "0" or "1.2.3.999" as some address the user never meant.
std::string host_name_problem(const std::string& host) {
    const auto bad = std::find_if_not(host.begin(), host.end(), is_host_byte);
    if (bad != host.end())
        return "the host " + quoted(host) + " holds " + quoted(std::string(1, *bad)) +
               ", which no host name holds";
    const std::size_t dot = host.rfind('.');
    const std::string_view last =
        std::string_view(host).substr(dot == std::string::npos ? 0 : dot + 1);
    if (is_digits(last) && !is_address(AF_INET, host))
        return quoted(host) + " is not an IPv4 address";
    return {};
}

std::string port_problem(std::string_view digits, std::uint32_t& port) {
    const std::string why = "the port must be a number from 1 to 65535, not " + quoted(digits);
    if (!is_digits(digits) || digits.size() > 5)
        return why;
    port = static_cast<std::uint32_t>(std::stoul(std::string(digits)));
    return port >= 1 && port <= 65535 ? std::string() : why;
}

// Splits "[v6]:port" or "name:port"; rest receives ":port" or "".
std::string read_host(std::string_view text, std::string& host, std::string_view& rest) {
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos)
            return quoted(text) + " lacks the \"]\" that ends an IPv6 address";
        host = std::string(text.substr(1, close - 1));
        rest = text.substr(close + 1);
        if (!is_address(AF_INET6, host))
            return quoted(text.substr(0, close + 1)) + " is not an IPv6 address";
        if (!rest.empty() && !rest.starts_with(':'))
            return quoted(rest) + " follows the IPv6 address where only \":port\" may";
        return {};
    }
    const std::size_t colon = text.find(':');
    host = std::string(text.substr(0, colon));
    rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon);
    if (rest.find(':', 1) != std::string_view::npos)
        return "an IPv6 address goes in brackets, as in [::1]";
    if (host.empty())
        return "the host is missing";
    return host_name_problem(host);
}

}  // namespace

std::optional<UrlAuthority> UrlAuthority::read(std::string_view text, std::string& problem) {
    UrlAuthority authority;
    // A password may hold "@" unescaped: the last one ends the userinfo.
    if (const std::size_t at = text.rfind('@'); at != std::string_view::npos) {
        authority.userinfo = std::string(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    std::string_view rest;
    problem = read_host(text, authority.host, rest);
    if (problem.empty() && !rest.empty())
        problem = port_problem(rest.substr(1), authority.port);
    if (!problem.empty())
        return std::nullopt;
    return authority;
}

std::string UrlAuthority::url_host(const std::string& host) {
    if (host.find(':') == std::string::npos || host.starts_with('['))
        return host;
    return "[" + host + "]";
}

}  // namespace tovan
