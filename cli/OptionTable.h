#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/Options.h"

namespace tovan::cli {

// Every option by its name in options.dat, with how it reads and what values it
// takes: flags as true/false (also on/off, yes/no, 1/0), periods within the
// ranges the options dialog allows. The two history lists are shown only.
class OptionTable {
public:
    struct Row {
        std::string key;
        std::function<nlohmann::json(const Options&)> get;
        // False for a value the option does not take; the options stay unchanged.
        std::function<bool(Options&, const std::string&)> set;  // empty: shown only
        std::string values;                                     // what set accepts
    };

    static const std::vector<Row>& rows();
    static const Row* find(const std::string& key);
    // The value as printed in text mode.
    static std::string text(const nlohmann::json& value);
};

}  // namespace tovan::cli
