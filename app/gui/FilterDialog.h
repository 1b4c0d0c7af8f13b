#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

namespace tovan {

class MaskListEditor;

// The masks of the scan changes filter, in the order they are tried.
class FilterDialog : public QDialog {
    Q_OBJECT

public:
    explicit FilterDialog(const std::vector<std::string>& masks, QWidget* parent = nullptr);

    // The masks as the user left them on OK; nothing on Cancel.
    static std::optional<std::vector<std::string>> ask(QWidget* parent,
                                                       const std::vector<std::string>& masks);

    std::vector<std::string> masks() const;

private:
    MaskListEditor* editor_ = nullptr;
};

}  // namespace tovan
