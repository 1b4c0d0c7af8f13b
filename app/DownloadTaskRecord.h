#pragma once

#include "engine/download/DownloadTask.h"
#include "tovan/SharedPtr.h"
#include "tovan/io/IStream.h"
#include "tovan/io/OStream.h"

namespace tovan {

// A download job's stored fields: its source server's settings, its files by
// stage (from version 6 also those it left out, and why), the total, its name,
// where its files go, and (from 6) the tag of its partial files. Items of
// version 3 add where a finished file went and whether counted bytes sit in
// the destination itself, as older versions wrote them.
class DownloadTaskRecord {
public:
    static constexpr std::uint8_t Version = 6;
    static constexpr std::uint8_t ItemVersion = 3;

    static void write(io::OStream& out, const DownloadTask& task);
    static SharedPtr<DownloadTask> read(io::IStream& in);
};

}  // namespace tovan
