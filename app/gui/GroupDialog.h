#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QDialogButtonBox;
class QLineEdit;

namespace tovan {

// The name of a new group, or a new name for a group. OK waits for a name
// that is more than blanks.
class GroupDialog : public QDialog {
    Q_OBJECT

public:
    // name: the group's name when it is renamed, empty for a new group.
    explicit GroupDialog(const std::string& name, QWidget* parent = nullptr);

    // The name, without outer blanks, on OK; nothing on Cancel.
    static std::optional<std::string> ask(QWidget* parent, const std::string& name = {});

    std::string name() const;

private:
    QLineEdit* name_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace tovan
