#include "engine/http/HttpConnection.h"

#include "engine/http/FileHttpDownloader.h"

namespace tovan {

SharedPtr<FileDownloader> HttpConnection::create_downloader() {
    return tovan::make_shared<FileHttpDownloader>(session_, tls_, host_, port_, trust_);
}

}  // namespace tovan
