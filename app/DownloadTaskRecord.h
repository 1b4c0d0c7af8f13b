#pragma once

#include "engine/DownloadTask.h"
#include "tovan/SharedPtr.h"
#include "tovan/io/IStream.h"
#include "tovan/io/OStream.h"

namespace tovan {

// A download job's stored fields: its source server's settings, its files by
// stage, the total, its name and where its files go.
class DownloadTaskRecord {
public:
    static constexpr std::uint8_t Version = 5;
    static constexpr std::uint8_t ItemVersion = 2;

    static void write(io::OStream& out, const DownloadTask& task);
    static SharedPtr<DownloadTask> read(io::IStream& in);
};

}  // namespace tovan
