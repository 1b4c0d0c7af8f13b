#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tovan {

class Options;

namespace io {
class IStream;
class OStream;
}  // namespace io

// One option: the name the user and the command line know it by, the version of
// options.dat that first holds it, and its kind. The kind alone decides how the
// option is read, written, shown and set, so a new option is one member of
// Options and one row at the end of Options::fields(), with the new version.
struct OptionField {
    // A check box: one byte, 0 or 1.
    struct Flag {
        bool Options::*member;
    };
    // A check box of the search dialog, kept as a 32-bit word.
    struct FlagWord {
        std::int32_t Options::*member;
    };
    // A count within the range its dialog allows, 32 bits; a stored count outside
    // it (a damaged file) takes the default, so no period is ever 0.
    struct Number {
        std::uint32_t Options::*member;
        std::uint32_t low;
        std::uint32_t high;
    };
    // One of the numbered choices 0 to last, stored in one byte.
    struct Choice {
        std::int32_t Options::*member;
        std::int32_t last;
    };
    // Megabytes, 0 or more, as the 32 bits of a float.
    struct Megabytes {
        float Options::*member;
    };
    struct Text {
        std::string Options::*member;
    };
    // A history the program keeps itself: shown, never set by hand.
    struct TextList {
        std::vector<std::string> Options::*member;
    };

    using Kind = std::variant<Flag, FlagWord, Number, Choice, Megabytes, Text, TextList>;
    // An option's value as the user sees it.
    using Value = std::variant<bool, std::int64_t, double, std::string, std::vector<std::string>>;

    // Who reads the option: every program, or the desktop program alone.
    enum Reader : bool { AllPrograms = false, DesktopOnly = true };

    std::string_view name;
    std::uint8_t since;
    Kind kind;
    // One line for people, shown beside the value.
    std::string_view description;
    Reader reader = AllPrograms;
    // The name it had before, still taken on the command line.
    std::string_view old_name = {};

    bool named(std::string_view text) const {
        return text == name || (!old_name.empty() && text == old_name);
    }

    void read(io::IStream& in, Options& options) const;
    void write(io::OStream& out, const Options& options) const;
    Value value(const Options& options) const;
    // Sets the option from the text the user typed; false, with the options
    // unchanged, for a value the option does not take.
    bool set(Options& options, std::string_view text) const;
    bool settable() const { return !std::holds_alternative<TextList>(kind); }
    // What set() takes, for the message that refuses a value.
    std::string accepted() const;
};

}  // namespace tovan
