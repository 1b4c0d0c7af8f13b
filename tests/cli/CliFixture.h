#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliProcess.h"
#include "support/ScanRun.h"
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
    void put(const std::string& relative, const std::string& content) const {
        write_file_at(tree() + "/" + relative, content, std::time(nullptr));
    }

    std::vector<std::string> with_data(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), {"--data-dir", data()});
        return arguments;
    }
    CliProcess::Result cli(const std::vector<std::string>& arguments) const {
        return CliProcess::run(with_data(arguments));
    }
    // Expects the exit status and the text on stderr.
    static void expect_exit(const CliProcess::Result& result, int status, const std::string& says) {
        EXPECT_EQ(result.status, status) << result.err;
        EXPECT_NE(result.err.find(says), std::string::npos) << result.err;
    }
    // Runs the command and expects it to succeed.
    std::string ok(const std::vector<std::string>& arguments) const {
        const CliProcess::Result result = cli(arguments);
        EXPECT_EQ(result.status, 0) << arguments.front() << ": " << result.err;
        return result.out;
    }
    // The lines of a --json command's output, each parsed.
    std::vector<nlohmann::json> json(std::vector<std::string> arguments) const {
        arguments.push_back("--json");
        std::istringstream lines(ok(arguments));
        std::vector<nlohmann::json> objects;
        for (std::string line; std::getline(lines, line);)
            objects.push_back(nlohmann::json::parse(line));
        return objects;
    }

    std::map<std::string, std::string> data_files() const { return test::data_files(data()); }
};

}  // namespace tovan::test
