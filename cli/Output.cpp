#include "cli/Output.h"

#include <iostream>

namespace tovan::cli {
namespace {

thread_local std::ostream* redirected_out = nullptr;
thread_local std::ostream* redirected_err = nullptr;

}  // namespace

Output::Redirect::Redirect(std::ostream& out, std::ostream& err)
    : previous_out_(redirected_out), previous_err_(redirected_err) {
    redirected_out = &out;
    redirected_err = &err;
}

Output::Redirect::~Redirect() {
    redirected_out = previous_out_;
    redirected_err = previous_err_;
}

void Output::result(const nlohmann::json& object, const std::string& text) const {
    // Invalid UTF-8 in a file name must not end the listing.
    out() << (json_ ? object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) : text)
          << std::endl;
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
    err() << "ferrovane-cli: " << text << std::endl;
}

void Output::note(const std::string& text) {
    error(text);
}

}  // namespace tovan::cli
