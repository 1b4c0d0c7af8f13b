#include "engine/smb/SmbContext.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "engine/smb/SmbCredentials.h"

namespace tovan {
namespace {

void copy_text(const std::string& text, char* target, int size) {
    if (target == nullptr || size <= 0)
        return;
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

// libsmbclient keeps its configuration in process-wide state that its calls
// read and rebuild without locks; calls from two threads at once corrupt it even
// with a context each. So calls take turns: a scan of a network host gains
// nothing from several threads, and a host that does not answer holds the others
// back for at most the time limit.
std::mutex& client_lock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

SmbContext::SmbContext() {
    std::lock_guard guard(client_lock());
    SMBCCTX* context = smbc_new_context();
    if (context == nullptr) {
        start_error_ = errno;
        return;
    }
    smbc_setTimeout(context, TimeoutMs);
    smbc_setOptionUserData(context, this);
    smbc_setFunctionAuthDataWithContext(context, &SmbContext::authenticate);
    if (smbc_init_context(context) == nullptr) {
        start_error_ = errno;
        smbc_free_context(context, 1);
        return;
    }
    context_ = context;
}

SmbContext::~SmbContext() {
    std::lock_guard guard(client_lock());
    if (context_ != nullptr)
        smbc_free_context(context_, 1);
}

// libsmbclient asks before it logs on to a host; the fields come filled with its
// defaults (a guest logon), which stay where no login is kept for the host.
void SmbContext::authenticate(SMBCCTX* context, const char*, const char*, char* workgroup,
                              int workgroup_size, char* user, int user_size, char* password,
                              int password_size) {
    const auto* self = static_cast<const SmbContext*>(smbc_getOptionUserData(context));
    if (self == nullptr)
        return;
    const std::optional<SmbCredentials::Login> login = SmbCredentials::find(self->host_);
    if (!login)
        return;
    if (!login->domain.empty())
        copy_text(login->domain, workgroup, workgroup_size);
    copy_text(login->user, user, user_size);
    copy_text(login->password, password, password_size);
}

bool SmbContext::refuses_opening() const {
    if (context_ != nullptr && !is_cancelled())
        return false;
    errno = context_ == nullptr ? start_error_ : ECANCELED;
    return true;
}

SMBCFILE* SmbContext::open_folder(const std::string& url) {
    if (refuses_opening())
        return nullptr;
    std::lock_guard guard(client_lock());
    return smbc_getFunctionOpendir(context_)(context_, url.c_str());
}

const smbc_dirent* SmbContext::read_share(SMBCFILE* folder) {
    std::lock_guard guard(client_lock());
    return smbc_getFunctionReaddir(context_)(context_, folder);
}

const libsmb_file_info* SmbContext::read_item(SMBCFILE* folder) {
    std::lock_guard guard(client_lock());
    return smbc_getFunctionReaddirPlus2(context_)(context_, folder, nullptr);
}

void SmbContext::close_folder(SMBCFILE* folder) {
    if (folder == nullptr)
        return;
    std::lock_guard guard(client_lock());
    smbc_getFunctionClosedir(context_)(context_, folder);
}

SMBCFILE* SmbContext::open_file(const std::string& url) {
    if (refuses_opening())
        return nullptr;
    std::lock_guard guard(client_lock());
    return smbc_getFunctionOpen(context_)(context_, url.c_str(), O_RDONLY, 0);
}

ssize_t SmbContext::read_file(SMBCFILE* file, void* buffer, std::size_t count) {
    if (is_cancelled()) {
        errno = ECANCELED;
        return -1;
    }
    std::lock_guard guard(client_lock());
    return smbc_getFunctionRead(context_)(context_, file, buffer, count);
}

off_t SmbContext::seek_file(SMBCFILE* file, off_t offset, int whence) {
    std::lock_guard guard(client_lock());
    return smbc_getFunctionLseek(context_)(context_, file, offset, whence);
}

std::int64_t SmbContext::file_size(SMBCFILE* file) {
    struct stat info {};
    std::lock_guard guard(client_lock());
    if (smbc_getFunctionFstat(context_)(context_, file, &info) != 0)
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}

void SmbContext::close_file(SMBCFILE* file) {
    if (file == nullptr)
        return;
    std::lock_guard guard(client_lock());
    smbc_getFunctionClose(context_)(context_, file);
}

bool SmbContext::exists(const std::string& url) {
    if (context_ == nullptr || is_cancelled())
        return false;
    struct stat info {};
    std::lock_guard guard(client_lock());
    return smbc_getFunctionStat(context_)(context_, url.c_str(), &info) == 0;
}

}  // namespace tovan
