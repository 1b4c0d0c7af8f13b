#pragma once

#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/CliProcess.h"
#include "support/TempFolder.h"

namespace tovan::test {

// A sandbox for ferrovane-cli: a data folder, a tree of files to watch, and
// commands run against that data folder.
class CliFixture : public ::testing::Test {
protected:
    TempFolder sandbox;

    std::string data() const { return sandbox.file("data"); }
    std::string tree() const { return sandbox.file("tree"); }
    // Writes a file below the tree, making its folders.
    void put(const std::string& relative, const std::string& content) const;

    std::vector<std::string> with_data(std::vector<std::string> arguments) const;
    CliProcess::Result cli(const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment = {}) const;
    // Runs the command and expects it to succeed.
    std::string ok(const std::vector<std::string>& arguments) const;
    // The lines of a --json command's output, each parsed.
    std::vector<nlohmann::json> json(const std::vector<std::string>& arguments) const;

    // Every file of the data folder but its lock, by name, with its bytes.
    std::map<std::string, std::string> data_files() const;
};

}  // namespace tovan::test
