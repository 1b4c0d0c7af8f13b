#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>

namespace tovan::cli {

// What a command prints: lines of text for people, or with --json one JSON
// object per line for programs. Results go to stdout, each flushed at once so
// that a reader of a long-running command sees it when it happens; errors and
// notes go to stderr.
class Output {
public:
    // While one lives, this thread's output goes to the given streams instead of
    // the process's stdout and stderr: the process that holds the data folder
    // runs a client's command this way and sends what it prints to the client.
    class Redirect {
    public:
        Redirect(std::ostream& out, std::ostream& err);
        ~Redirect();
        Redirect(const Redirect&) = delete;
        Redirect& operator=(const Redirect&) = delete;

    private:
        std::ostream* previous_out_;
        std::ostream* previous_err_;
        bool previous_stamped_;
    };

    // While one lives, this thread's lines on stderr, and its text results,
    // begin with the local time ("2026-12-07 13:45:10 "): a long-running command
    // is read as a log.
    class Stamped {
    public:
        Stamped();
        ~Stamped();
        Stamped(const Stamped&) = delete;
        Stamped& operator=(const Stamped&) = delete;

    private:
        bool previous_;
    };

    void set_json(bool json) { json_ = json; }
    bool json() const { return json_; }

    // One result: the object with --json, else the text.
    void result(const nlohmann::json& object, const std::string& text) const;
    // A message about what was done: {"message": text} with --json.
    void message(const std::string& text) const;

    // False once stdout cannot be written any more: its reader is gone.
    static bool is_open();
    // True while this thread's output is redirected.
    static bool redirected();
    // This thread's stdout and stderr.
    static std::ostream& out();
    static std::ostream& err();

    // "ferrovane-cli: " and the text, on stderr.
    static void error(const std::string& text);
    static void note(const std::string& text);

private:
    bool json_ = false;
};

}  // namespace tovan::cli
