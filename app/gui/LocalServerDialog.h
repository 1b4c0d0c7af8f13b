#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QDialogButtonBox;
class QLineEdit;

namespace tovan {

// A local folder or a place on a network host to watch, with the name the
// tree shows for it. The name follows the path until the user gives it one of
// its own. OK waits for a path that names such a place: "/..." or "~/..." for
// a local folder, smb://host/share, //host/share or \\host\share for a network
// server.
class LocalServerDialog : public QDialog {
    Q_OBJECT

public:
    enum class Place { Local, Network };

    struct Record {
        Place place = Place::Local;
        std::string path = {};
        std::string name = {};
        bool operator==(const Record&) const = default;
    };

    // initial: an empty path for a new server, else the server's.
    explicit LocalServerDialog(const Record& initial, QWidget* parent = nullptr);

    // On OK the path, ending in "/" (a local one absolute, "~" read), and the
    // name; nothing on Cancel.
    static std::optional<Record> ask(QWidget* parent, const Record& initial);

    Record record() const;

private:
    std::string usable_path() const;
    void path_edited(const QString& path);
    void name_edited(const QString& name);
    void name_left();
    void browse();

    Place place_;
    QLineEdit* path_ = nullptr;
    QLineEdit* name_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    // Set once the user gives the name a text of its own.
    bool name_is_own_ = false;
};

}  // namespace tovan
