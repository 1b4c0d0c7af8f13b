#include "app/gui/FileTypes.h"

#include <QMimeDatabase>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/gui/Icons.h"
#include "app/gui/TreeLook.h"

namespace tovan {
namespace {

struct Type {
    QString name;
    QString icon_name;
    QString generic_icon_name;
    QIcon icon;  // made when first shown
};

struct ExtensionHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>()(text);
    }
};

struct Cache {
    std::vector<Type> types{{QObject::tr("File Folder"), {}, {}, TreeLook::icon(TreeLook::Folder)}};
    std::unordered_map<std::string, int, ExtensionHash, std::equal_to<>> by_extension;
};

Cache& cache() {
    static Cache cache;
    return cache;
}

std::string_view extension_of(std::string_view file_name) {
    const std::size_t dot = file_name.rfind('.');
    // ".profile" is a hidden name, not an extension.
    if (dot == std::string_view::npos || dot == 0)
        return {};
    return file_name.substr(dot + 1);
}

Type look_up(std::string_view extension) {
    static const QMimeDatabase database;
    const QString name =
        extension.empty() ? QStringLiteral("file")
                          : "file." + QString::fromUtf8(extension.data(),
                                                        static_cast<qsizetype>(extension.size()));
    const QMimeType mime = database.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    return {mime.comment(), mime.iconName(), mime.genericIconName(), {}};
}

}  // namespace

int FileTypes::type_of(std::string_view file_name) {
    Cache& types = cache();
    const std::string_view extension = extension_of(file_name);
    const auto found = types.by_extension.find(extension);
    if (found != types.by_extension.end())
        return found->second;
    const int type = static_cast<int>(types.types.size());
    types.types.push_back(look_up(extension));
    types.by_extension.emplace(std::string(extension), type);
    return type;
}

const QString& FileTypes::name(int type) {
    return cache().types[static_cast<std::size_t>(type)].name;
}

int FileTypes::type_count() {
    return static_cast<int>(cache().types.size());
}

QIcon FileTypes::icon(int type) {
    Type& found = cache().types[static_cast<std::size_t>(type)];
    if (found.icon.isNull()) {
        const QIcon own = Icons::get("file");
        found.icon =
            QIcon::fromTheme(found.icon_name, QIcon::fromTheme(found.generic_icon_name, own));
    }
    return found.icon;
}

}  // namespace tovan
