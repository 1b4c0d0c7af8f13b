#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QComboBox;
class QDialogButtonBox;
class QLabel;

namespace tovan {

class Options;

// The folder a download goes to: typed ("/..." or "~/..."), picked from the
// recent ones or browsed for. OK makes a missing folder; a folder that cannot be
// made keeps the dialog open and says why.
class SelectFolderDialog : public QDialog {
    Q_OBJECT

public:
    SelectFolderDialog(Options& options, QWidget* parent = nullptr);

    // The folder chosen, which the options now keep first among the recent
    // ones; nothing on Cancel. The caller saves the options.
    static std::optional<std::string> ask(QWidget* parent, Options& options);

    void accept() override;
    const std::string& folder() const { return folder_; }

private:
    void browse();

    Options& options_;
    QComboBox* folders_ = nullptr;
    QLabel* problem_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    std::string folder_;
};

}  // namespace tovan
