#include "cli/CommandService.h"

#include "app/DataHolder.h"
#include "cli/HolderProtocol.h"
#include "cli/Output.h"
#include "engine/catalog/PasswordMask.h"

namespace tovan::cli {
namespace {

std::string refusal() {
    nlohmann::json hello = nlohmann::json::parse(HolderProtocol::hello());
    hello["error"] = "the running Ferrovane takes commands only from the user who started it";
    return hello.dump();
}

}  // namespace

CommandService::CommandService(DataHolder& holder) : holder_(holder), socket_(refusal()) {}

CommandService::~CommandService() {
    shut_down();
}

bool CommandService::start() {
    return socket_.start(holder_.document().data_folder());
}

void CommandService::serve() {
    for (const HolderSocket::Request& request : socket_.take()) begin(request);
    for (std::size_t at = 0; at < waiting_.size();) {
        Command& command = *waiting_[at];
        std::optional<int> status;
        {
            const Output::Redirect redirect(command.out, command.err);
            status = command.line->go_on();
        }
        if (!status) {
            send_output(command);
            ++at;
            continue;
        }
        finish(command, *status);
        waiting_.erase(waiting_.begin() + static_cast<std::ptrdiff_t>(at));
    }
}

void CommandService::begin(const HolderSocket::Request& request) {
    auto command = std::make_unique<Command>();
    command->connection = request.connection;
    HolderProtocol::Request read;
    command->connection->send_line(HolderProtocol::hello());
    try {
        const nlohmann::json line = nlohmann::json::parse(request.line);
        // Another version gets the hello alone, which tells it which one this is.
        if (line.value("protocol", 0) != HolderProtocol::Version)
            return;
        read = HolderProtocol::read_request(line);
    } catch (const nlohmann::json::exception&) {
        command->connection->send_line(
            HolderProtocol::line("err", "ferrovane-cli: unreadable request\n"));
        command->connection->send_line(HolderProtocol::line("exit", 2));
        return;
    }
    command->line = std::make_unique<CommandLine>(holder_, read);
    command->description = "process " + std::to_string(command->connection->peer_pid()) + ":";
    for (const std::string& argument : read.arguments)
        command->description += " " + masked_passwords(argument);
    int status = 0;
    {
        const Output::Redirect redirect(command->out, command->err);
        status = command->line->run(read.arguments);
    }
    if (command->line->is_waiting() && status == 0) {
        send_output(*command);
        waiting_.push_back(std::move(command));
        return;
    }
    finish(*command, status);
}

void CommandService::send_output(Command& command) {
    for (auto& [key, stream] : {std::pair{"out", &command.out}, std::pair{"err", &command.err}}) {
        const std::string text = stream->str();
        if (text.empty())
            continue;
        stream->str({});
        command.connection->send_line(HolderProtocol::line(key, text));
    }
}

void CommandService::finish(Command& command, int status) {
    send_output(command);
    command.connection->send_line(HolderProtocol::line("exit", status));
    Output::note(command.description +
                 (status == 0 ? "" : " (exit " + std::to_string(status) + ")"));
    holder_.data_changed();
}

void CommandService::shut_down() {
    for (const std::unique_ptr<Command>& command : waiting_) {
        command->err << "ferrovane-cli: the running Ferrovane is stopping; what the command did "
                        "so far is saved\n";
        finish(*command, 1);
    }
    waiting_.clear();
    socket_.stop();
}

}  // namespace tovan::cli
