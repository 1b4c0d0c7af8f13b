#include "tovan/log/LogSettingsReader.h"

#include <cctype>
#include <fstream>

namespace tovan {
namespace {

bool is_comment(char c) {
    return c == '#' || c == ';' || c == '/';
}

void skip_blanks(const std::string& line, std::size_t& at) {
    while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
}

char unescape(char c) {
    switch (c) {
        case 'n':
            return '\n';
        case 't':
            return '\t';
        default:
            return c;
    }
}

}  // namespace

bool LogSettingsReader::read_file(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        return false;
    read(in, path);
    return true;
}

void LogSettingsReader::read(std::istream& in, const std::string& source) {
    source_ = source;
    line_number_ = 0;
    std::string line;
    while (std::getline(in, line)) {
        ++line_number_;
        if (!read_line(line))
            level_ = -1;
    }
}

bool LogSettingsReader::read_line(const std::string& line) {
    std::size_t at = 0;
    for (;;) {
        skip_blanks(line, at);
        if (at >= line.size() || is_comment(line[at]))
            return level_ < 0 || report("a level word without a value");
        const char c = line[at];
        bool ok;
        if (c == '[') {
            ok = read_section(line, at);
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            ok = read_word(line, at);
        } else {
            ok = read_value(line, at);
        }
        if (!ok)
            return false;
    }
}

bool LogSettingsReader::read_section(const std::string& line, std::size_t& at) {
    if (level_ >= 0)
        return report("a level word without a value");
    ++at;
    skip_blanks(line, at);
    std::string name;
    if (at < line.size() && (line[at] == '"' || line[at] == '\'')) {
        const char quote = line[at++];
        while (at < line.size() && line[at] != quote) {
            if (line[at] == '\\' && at + 1 < line.size())
                ++at, name += unescape(line[at++]);
            else
                name += line[at++];
        }
        if (at >= line.size())
            return report("a channel name without its closing quote");
        ++at;
        skip_blanks(line, at);
    } else {
        while (at < line.size() && line[at] != ']') name += line[at++];
        while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back())))
            name.pop_back();
    }
    if (at >= line.size() || line[at] != ']')
        return report("a channel name without its \"]\"");
    ++at;
    section_ = &table_.get_or_add(name);
    return true;
}

bool LogSettingsReader::read_word(const std::string& line, std::size_t& at) {
    const std::size_t start = at;
    while (at < line.size() &&
           (std::isalnum(static_cast<unsigned char>(line[at])) || line[at] == '_'))
        ++at;
    const std::string word = line.substr(start, at - start);
    if (level_ >= 0)
        return report("a level word without a value");
    if (section_ == nullptr)
        return report("a setting before the first [channel]");
    if (word == "off" || word == "on") {
        section_->disabled = word == "off" ? 1 : 0;
        return true;
    }
    switch (std::tolower(static_cast<unsigned char>(word[0]))) {
        case 'e':
            level_ = 0;
            return true;
        case 'w':
            level_ = 1;
            return true;
        case 'i':
            level_ = 2;
            return true;
        default:
            return report("an unknown word (expected error, warning, info, off or on)");
    }
}

bool LogSettingsReader::read_value(const std::string& line, std::size_t& at) {
    if (line[at] == '=') {
        ++at;
        skip_blanks(line, at);
    }
    if (section_ == nullptr)
        return report("a setting before the first [channel]");
    if (at < line.size() && line[at] == '*') {
        ++at;
        for (int level = 0; level < 3; ++level)
            if (level_ < 0 || level == level_)
                section_->thresholds[level] = VerbositySettings::Unlimited;
        level_ = -1;
        return true;
    }
    bool negative = false;
    if (at < line.size() && (line[at] == '+' || line[at] == '-')) {
        negative = line[at++] == '-';
        if (at < line.size() && line[at] == '=')
            return report("a sign before \"=\" (write \"= -3\")");
    }
    if (at >= line.size() || !std::isdigit(static_cast<unsigned char>(line[at])))
        return report("a value that is not a whole number or \"*\"");
    std::int64_t value = 0;
    while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at]))) {
        value = value * 10 + (line[at++] - '0');
        if (value > VerbositySettings::Unlimited)
            return report("a value out of range");
    }
    if (negative)
        value = -value;
    for (int level = 0; level < 3; ++level)
        if (level_ < 0 || level == level_)
            section_->apply(level, value);
    level_ = -1;
    return true;
}

bool LogSettingsReader::report(const char* message) {
    errors_ << source_ << ':' << line_number_ << ": " << message
            << "; the rest of the line is ignored" << std::endl;
    return false;
}

}  // namespace tovan
