#include "cli/Output.h"

#include <ctime>
#include <iostream>

#include "app/TimeText.h"

namespace tovan::cli {
namespace {

thread_local std::ostream* redirected_out = nullptr;
thread_local std::ostream* redirected_err = nullptr;
thread_local bool stamped = false;

// The stamp that begins a line while stamped, else nothing.
std::string stamp() {
    return stamped ? stamp_text(static_cast<std::int64_t>(std::time(nullptr))) + " " : "";
}

}  // namespace

// A command run for someone else prints as if it ran there, without stamps.
Output::Redirect::Redirect(std::ostream& out, std::ostream& err)
    : previous_out_(redirected_out), previous_err_(redirected_err), previous_stamped_(stamped) {
    redirected_out = &out;
    redirected_err = &err;
    stamped = false;
}

Output::Redirect::~Redirect() {
    redirected_out = previous_out_;
    redirected_err = previous_err_;
    stamped = previous_stamped_;
}

Output::Stamped::Stamped() : previous_(stamped) {
    stamped = true;
}

Output::Stamped::~Stamped() {
    stamped = previous_;
}

void Output::result(const nlohmann::json& object, const std::string& text) const {
    // Invalid UTF-8 in a file name must not end the listing.
    if (json_)
        out() << object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
    else
        out() << stamp() << text << std::endl;
}

void Output::message(const std::string& text) const {
    result({{"message", text}}, text);
}

bool Output::is_open() {
    return static_cast<bool>(out());
}

bool Output::redirected() {
    return redirected_out != nullptr;
}

std::ostream& Output::out() {
    return redirected_out ? *redirected_out : std::cout;
}

std::ostream& Output::err() {
    return redirected_err ? *redirected_err : std::cerr;
}

void Output::error(const std::string& text) {
    err() << stamp() << "ferrovane-cli: " << text << std::endl;
}

void Output::note(const std::string& text) {
    error(text);
}

}  // namespace tovan::cli
