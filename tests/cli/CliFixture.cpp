#include "cli/CliFixture.h"

#include <filesystem>
#include <sstream>

namespace tovan::test {

void CliFixture::put(const std::string& relative, const std::string& content) const {
    const std::filesystem::path path = std::filesystem::path(tree()) / relative;
    std::filesystem::create_directories(path.parent_path());
    write_file(path.string(), content);
}

std::vector<std::string> CliFixture::with_data(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), {"--data-dir", data()});
    return arguments;
}

CliProcess::Result CliFixture::cli(const std::vector<std::string>& arguments,
                                   const std::map<std::string, std::string>& environment) const {
    return CliProcess::run(with_data(arguments), environment);
}

std::string CliFixture::ok(const std::vector<std::string>& arguments) const {
    const CliProcess::Result result = cli(arguments);
    EXPECT_EQ(result.status, 0) << arguments.front() << ": " << result.err;
    return result.out;
}

std::vector<nlohmann::json> CliFixture::json(const std::vector<std::string>& arguments) const {
    std::vector<std::string> with_json = arguments;
    with_json.push_back("--json");
    std::istringstream lines(ok(with_json));
    std::vector<nlohmann::json> objects;
    for (std::string line; std::getline(lines, line);)
        objects.push_back(nlohmann::json::parse(line));
    return objects;
}

std::map<std::string, std::string> CliFixture::data_files() const {
    std::map<std::string, std::string> files;
    for (const auto& each : std::filesystem::directory_iterator(data())) {
        const std::string name = each.path().filename().string();
        if (name != "ferrovane.lock" && each.is_regular_file())
            files[name] = read_file(each.path().string());
    }
    return files;
}

}  // namespace tovan::test
