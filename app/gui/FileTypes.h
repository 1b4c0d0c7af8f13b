#pragma once

#include <QIcon>
#include <QString>
#include <string_view>

namespace tovan {

// What kind of file a name is, by its extension alone (the file is never read):
// the type name the desktop's MIME database gives and the icon of that type.
// Asked once per extension for the whole run; a name without an extension gets
// the database's generic type. Interface thread only.
class FileTypes {
public:
    // The type of folders; file types come after it.
    static constexpr int Folder = 0;

    static int type_of(std::string_view file_name);
    static const QString& name(int type);
    // Types known so far; ids run from 0 to this less one.
    static int type_count();
    static QIcon icon(int type);
    static QString type_name(std::string_view file_name) { return name(type_of(file_name)); }
    static QIcon icon(std::string_view file_name) { return icon(type_of(file_name)); }
};

}  // namespace tovan
