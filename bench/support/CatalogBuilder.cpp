#include "support/CatalogBuilder.h"

namespace bench {

using namespace tovan;

CatalogBuilder::CatalogBuilder(Server& server)
    : server_(server), merge_(server, options_, 1'700'000'000, *this) {
    everything_.set_masks({"*"});
    server_.set_parent_filter(&everything_);
}

std::string CatalogBuilder::random_name() {
    std::string name = std::to_string(serial_++) + "_";
    const std::size_t length = 12 + random_() % 17;
    while (name.size() < length) name += static_cast<char>('a' + random_() % 26);
    return name;
}

void CatalogBuilder::list(const SharedPtr<Entry>& folder, int folders, int files) {
    std::vector<SharedPtr<Entry>> items;
    const std::string path = folder->path_for_children();
    for (int i = 0; i < folders; ++i) {
        SharedPtr<Entry> sub = Entry::create_folder(random_name());
        sub->set_path(path);
        items.push_back(sub);
    }
    for (int i = 0; i < files; ++i)
        items.push_back(Entry::create_file(random_name(), random_() % 100000,
                                           1'700'000'000 + random_() % 1000));
    SharedPtr<Entry> fresh = Entry::create_folder("");
    fresh->add_children(std::move(items));
    merge_.merge(*folder, *fresh, -2, true, false);
}

void CatalogBuilder::two_levels(int folders, int subfolders, int files, int subfolder_files) {
    const SharedPtr<Entry> root = server_.root();
    list(root, folders, 0);
    for (const SharedPtr<Entry>& top : root->children()) {
        list(top, subfolders, files);
        for (const SharedPtr<Entry>& sub : top->child_folders()) list(sub, 0, subfolder_files);
    }
}

void CatalogBuilder::million_files() {
    two_levels(250, 200, 0, 20);
}

void CatalogBuilder::quarter_million_files() {
    two_levels(100, 124, 20, 20);
}

}  // namespace bench
