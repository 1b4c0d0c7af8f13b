#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/catalog/FtpSettings.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class ScanFilter;

// What the FTP server dialog edits: an FTP server's name and settings as plain
// values, read from a node of the tree and written back to one only when the
// dialog is confirmed.
struct FtpServerForm {
    struct Range {
        std::uint32_t min;
        std::uint32_t max;
    };
    static constexpr Range PortRange{1, 65535};
    // As many as the command line's --connections takes.
    static constexpr Range ConnectionsRange{1, 100};
    static constexpr Range DelayRange{0, 60000};  // milliseconds

    std::string name;
    FtpSettings settings;
    bool secure = false;  // ftps://: TLS required
    bool ssh = false;     // sftp://: SSH's file transfer instead of FTP
    std::string folder = "/";
    bool automatic_connections = false;
    std::uint32_t connections = 1;
    std::uint32_t delay = 0;

    // The form of a server node of the tree.
    static FtpServerForm of(const TreeEntry& node);
    // A new server node; its root is scanned without a depth limit.
    SharedPtr<TreeEntry> make_node(const ScanFilter& document_filter) const;
    // Gives the node this name and its server these settings; the catalog stays.
    void apply_to(TreeEntry& node) const;

    ServerKind kind() const;

    // The number the text holds when it lies in the range.
    static std::optional<std::uint32_t> number(std::string_view text, Range range);
};

}  // namespace tovan
