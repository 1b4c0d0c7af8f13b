#pragma once

#include <string>

namespace tovan {

// The one session through which every FTP and HTTP connection of a run is made,
// so that they share one agent name and, later, one DNS cache. It holds only
// its agent name until the FTP and HTTP connections are built on it.
class InternetSession {
public:
    static constexpr const char* Agent = "Ferrovane";

    InternetSession() = default;
    InternetSession(const InternetSession&) = delete;
    InternetSession& operator=(const InternetSession&) = delete;

    const std::string& agent() const { return agent_; }

private:
    std::string agent_ = Agent;
};

}  // namespace tovan
