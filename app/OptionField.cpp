#include "app/OptionField.h"

#include <bit>
#include <charconv>

#include "app/Options.h"
#include "app/RecordIo.h"
#include "tovan/io/IStream.h"
#include "tovan/io/OStream.h"

namespace tovan {
namespace {

using Value = OptionField::Value;

bool parse_flag(std::string_view text, bool& flag) {
    if (text == "true" || text == "on" || text == "yes" || text == "1")
        return flag = true, true;
    if (text == "false" || text == "off" || text == "no" || text == "0")
        return flag = false, true;
    return false;
}

template <typename Number>
bool parse_whole(std::string_view text, Number& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

std::string range_text(std::int64_t low, std::int64_t high) {
    return std::to_string(low) + " to " + std::to_string(high);
}

// What each kind does, one overload a kind; OptionField picks by its kind. A
// set() writes the option only when the whole text is a value it takes.
namespace kinds {

void read(const OptionField::Flag& kind, io::IStream& in, Options& options) {
    std::uint8_t byte = 0;
    in.read_byte(byte);
    options.*kind.member = byte != 0;
}
void write(const OptionField::Flag& kind, io::OStream& out, const Options& options) {
    out.write_bool(options.*kind.member);
}
Value value(const OptionField::Flag& kind, const Options& options) {
    return options.*kind.member;
}
bool set(const OptionField::Flag& kind, Options& options, std::string_view text) {
    return parse_flag(text, options.*kind.member);
}
std::string accepted(const OptionField::Flag&) {
    return "true or false";
}

void read(const OptionField::FlagWord& kind, io::IStream& in, Options& options) {
    in.read_i32(options.*kind.member);
}
void write(const OptionField::FlagWord& kind, io::OStream& out, const Options& options) {
    out.write_i32(options.*kind.member);
}
Value value(const OptionField::FlagWord& kind, const Options& options) {
    return options.*kind.member != 0;
}
bool set(const OptionField::FlagWord& kind, Options& options, std::string_view text) {
    bool flag = false;
    if (!parse_flag(text, flag))
        return false;
    options.*kind.member = flag ? 1 : 0;
    return true;
}
std::string accepted(const OptionField::FlagWord&) {
    return "true or false";
}

void read(const OptionField::Number& kind, io::IStream& in, Options& options) {
    std::uint32_t& number = options.*kind.member;
    in.read_u32(number);
    if (number < kind.low || number > kind.high)
        number = Options().*kind.member;
}
void write(const OptionField::Number& kind, io::OStream& out, const Options& options) {
    out.write_u32(options.*kind.member);
}
Value value(const OptionField::Number& kind, const Options& options) {
    return std::int64_t{options.*kind.member};
}
bool set(const OptionField::Number& kind, Options& options, std::string_view text) {
    std::uint32_t number = 0;
    if (!parse_whole(text, number) || number < kind.low || number > kind.high)
        return false;
    options.*kind.member = number;
    return true;
}
std::string accepted(const OptionField::Number& kind) {
    return range_text(kind.low, kind.high);
}

void read(const OptionField::Choice& kind, io::IStream& in, Options& options) {
    std::uint8_t choice = 0;
    in.read_byte(choice);
    options.*kind.member = choice <= kind.last ? choice : Options().*kind.member;
}
void write(const OptionField::Choice& kind, io::OStream& out, const Options& options) {
    out.write_byte(static_cast<std::uint8_t>(options.*kind.member));
}
Value value(const OptionField::Choice& kind, const Options& options) {
    return std::int64_t{options.*kind.member};
}
bool set(const OptionField::Choice& kind, Options& options, std::string_view text) {
    std::int32_t choice = 0;
    if (!parse_whole(text, choice) || choice < 0 || choice > kind.last)
        return false;
    options.*kind.member = choice;
    return true;
}
std::string accepted(const OptionField::Choice& kind) {
    return range_text(0, kind.last);
}

void read(const OptionField::Megabytes& kind, io::IStream& in, Options& options) {
    std::uint32_t bits = 0;
    in.read_u32(bits);
    options.*kind.member = std::bit_cast<float>(bits);
}
void write(const OptionField::Megabytes& kind, io::OStream& out, const Options& options) {
    out.write_u32(std::bit_cast<std::uint32_t>(options.*kind.member));
}
Value value(const OptionField::Megabytes& kind, const Options& options) {
    return double{options.*kind.member};
}
bool set(const OptionField::Megabytes& kind, Options& options, std::string_view text) {
    float megabytes = 0;
    if (!parse_whole(text, megabytes) || !(megabytes >= 0))
        return false;
    options.*kind.member = megabytes;
    return true;
}
std::string accepted(const OptionField::Megabytes&) {
    return "a number of megabytes, 0 or more";
}

void read(const OptionField::Text& kind, io::IStream& in, Options& options) {
    in.read_text(options.*kind.member);
}
void write(const OptionField::Text& kind, io::OStream& out, const Options& options) {
    out.write_text(options.*kind.member);
}
Value value(const OptionField::Text& kind, const Options& options) {
    return options.*kind.member;
}
bool set(const OptionField::Text& kind, Options& options, std::string_view text) {
    options.*kind.member = text;
    return true;
}
std::string accepted(const OptionField::Text&) {
    return "any text";
}

// Reading a list first empties it; the stored texts are then appended in order.
void read(const OptionField::TextList& kind, io::IStream& in, Options& options) {
    std::vector<std::string>& list = options.*kind.member;
    list.clear();
    const std::uint32_t count = read_list_count(in, sizeof(std::uint32_t));
    for (std::uint32_t at = 0; at < count; ++at) in.read_text(list.emplace_back());
}
void write(const OptionField::TextList& kind, io::OStream& out, const Options& options) {
    out.write_texts(options.*kind.member);
}
Value value(const OptionField::TextList& kind, const Options& options) {
    return options.*kind.member;
}
bool set(const OptionField::TextList&, Options&, std::string_view) {
    return false;
}
std::string accepted(const OptionField::TextList&) {
    return "nothing: the program keeps it";
}

}  // namespace kinds
}  // namespace

void OptionField::read(io::IStream& in, Options& options) const {
    std::visit([&](const auto& each) { kinds::read(each, in, options); }, kind);
}

void OptionField::write(io::OStream& out, const Options& options) const {
    std::visit([&](const auto& each) { kinds::write(each, out, options); }, kind);
}

OptionField::Value OptionField::value(const Options& options) const {
    return std::visit([&](const auto& each) { return kinds::value(each, options); }, kind);
}

bool OptionField::set(Options& options, std::string_view text) const {
    return std::visit([&](const auto& each) { return kinds::set(each, options, text); }, kind);
}

std::string OptionField::accepted() const {
    return std::visit([](const auto& each) { return kinds::accepted(each); }, kind);
}

}  // namespace tovan
