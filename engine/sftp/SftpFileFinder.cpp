#include "engine/sftp/SftpFileFinder.h"

#include <memory>
#include <source_location>

#include "engine/connection/ServerRefusal.h"
#include "tovan/log/FailureRecord.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

struct AttributesDeleter {
    void operator()(sftp_attributes attributes) const { sftp_attributes_free(attributes); }
};
using Attributes = std::unique_ptr<sftp_attributes_struct, AttributesDeleter>;

struct FolderDeleter {
    void operator()(sftp_dir folder) const { sftp_closedir(folder); }
};
using Folder = std::unique_ptr<sftp_dir_struct, FolderDeleter>;

[[noreturn]] void disconnected(const SftpSession& session, const std::string& path,
                               std::source_location location = std::source_location::current()) {
    const std::string text = "listing " + path + ": " + session.error_text();
    session.log(text);
    error_log(1) << text << std::endl;
    FailureRecord::write("disconnected", location);
    throw Exception("disconnected");
}

[[noreturn]] void refused(const SftpSession& session, const std::string& path,
                          std::source_location location = std::source_location::current()) {
    const auto kind = session.sftp_error() == SSH_FX_PERMISSION_DENIED
                          ? ReachFailure::Kind::AccessDenied
                          : ReachFailure::Kind::Missing;
    const std::string& host = session.host();
    const std::string text = ReachFailure(kind, "the folder " + path + " of " + host, host).text();
    session.log(path + ": " + session.error_text());
    error_log(1) << text << ": " << session.error_text() << std::endl;
    FailureRecord::write(text.c_str(), location);
    throw ServerRefusal(text);
}

bool is_dot_entry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The server answered: the session is still good for the next folder.
bool is_refusal(int status) {
    return status == SSH_FX_NO_SUCH_FILE || status == SSH_FX_PERMISSION_DENIED ||
           status == SSH_FX_NO_SUCH_PATH;
}

std::string child_path(const std::string& folder, const char* name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

}  // namespace

bool SftpFileFinder::find_file(const Entry& folder) {
    items_.clear();
    next_ = 0;
    std::string path = folder.full_path();
    if (path.empty())
        path = "/";
    const Folder listing(sftp_opendir(session_->sftp(), path.c_str()));
    if (!listing) {
        if (session_->connected() && is_refusal(session_->sftp_error()))
            refused(*session_, path);
        disconnected(*session_, path);
    }
    while (const Attributes listed{sftp_readdir(session_->sftp(), listing.get())}) {
        if (listed->name == nullptr || is_dot_entry(listed->name))
            continue;
        if (SharedPtr<Entry> item = make_item(path, *listed))
            items_.push_back(std::move(item));
    }
    if (!sftp_dir_eof(listing.get()))
        disconnected(*session_, path);
    return true;
}

SharedPtr<Entry> SftpFileFinder::make_item(const std::string& folder,
                                           const sftp_attributes_struct& listed) {
    const std::string_view name = listed.name;
    if (name.find('/') != std::string_view::npos) {
        warning_log(1) << "skipped a name with \"/\" in " << folder << ": " << name << std::endl;
        return {};
    }
    const std::int64_t time = listed.mtime;
    if (listed.type == SSH_FILEXFER_TYPE_DIRECTORY)
        return Entry::create_folder(name, time);
    if (listed.type == SSH_FILEXFER_TYPE_SYMLINK) {
        const Attributes target{
            sftp_stat(session_->sftp(), child_path(folder, listed.name).c_str())};
        if (target && target->type != SSH_FILEXFER_TYPE_DIRECTORY)
            return Entry::create_file(name, target->size, target->mtime);
        if (!target && !session_->connected())
            disconnected(*session_, folder);
        // A link to a folder, or one that leads nowhere.
        return Entry::create_file(name, 0, time);
    }
    return Entry::create_file(name, listed.size, time);
}

bool SftpFileFinder::find_next(SharedPtr<Entry>& item) {
    if (next_ < items_.size())
        item = std::move(items_[next_++]);
    return next_ < items_.size();
}

}  // namespace tovan
