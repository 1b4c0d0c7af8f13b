#include "support/CatalogText.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <sstream>

#include "app/TextFormats.h"
#include "engine/catalog/Server.h"

namespace tovan::test {

std::string render(const Entry& folder) {
    std::string out;
    for (std::size_t i = 0; i < folder.child_count(); ++i) {
        const SharedPtr<Entry> child = folder.child(i);
        if (!out.empty())
            out += ' ';
        out += child->name();
        if (child->is_folder())
            out += '/';
        out += child->state() == EntryState::ContainsChanges ? "~" : change_sign(child->state());
        if (child->is_folder() && child->child_count() > 0)
            out += "(" + render(*child) + ")";
    }
    return out;
}

SharedPtr<Entry> listing(std::string_view description, std::string_view path) {
    SharedPtr<Entry> fresh = Entry::create_folder("");
    std::istringstream words{std::string(description)};
    for (std::string word; words >> word;) {
        if (word.back() == '/') {
            SharedPtr<Entry> folder = Entry::create_folder(word.substr(0, word.size() - 1));
            folder->set_path(path);
            fresh->add_child(folder);
            continue;
        }
        std::uint64_t size = 1;
        std::int64_t time = 1000;
        const std::size_t colon = word.find(':');
        if (colon != std::string::npos) {
            std::sscanf(word.c_str() + colon, ":%" SCNu64 ":%" SCNd64, &size, &time);
            word.erase(colon);
        }
        fresh->add_child(Entry::create_file(word, size, time));
    }
    fresh->sort_children();
    return fresh;
}

SharedPtr<Entry> add_file(const SharedPtr<Entry>& folder, std::string_view name, std::uint64_t size,
                          std::int64_t time) {
    SharedPtr<Entry> file = Entry::create_file(name, size, time);
    folder->add_child(file);
    return file;
}

SharedPtr<Entry> add_folder(const SharedPtr<Entry>& folder, std::string_view name) {
    SharedPtr<Entry> sub = Entry::create_folder(name);
    sub->set_path(folder->path_for_children());
    folder->add_child(sub);
    return sub;
}

SharedPtr<TreeEntry> server_node(std::string_view url, std::string name) {
    auto server = make_shared<Server>();
    EXPECT_TRUE(server->from_url(url)) << url;
    return TreeEntry::make_server_node(server, std::move(name));
}

}  // namespace tovan::test
