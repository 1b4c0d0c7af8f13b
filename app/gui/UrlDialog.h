#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;

namespace tovan {

class ProblemLabel;

// Asks for the URL of a file to download. Its drop-down holds the URLs given
// before, newest first; it opens with the URL the clipboard holds, if any.
// Passwords show as "***", yet OK hands back the URL whole.
class UrlDialog : public QDialog {
    Q_OBJECT

public:
    // The URL on OK, which then joins history (oldest first, as the options
    // keep it); empty on Cancel.
    static std::optional<std::string> ask(QWidget* parent, std::vector<std::string>& history);

    explicit UrlDialog(const std::vector<std::string>& history, QWidget* parent = nullptr);

    // What the text stands for, passwords and all.
    std::string url() const;

private:
    void fill_from_clipboard();
    void text_changed();

    QComboBox* combo_ = nullptr;
    ProblemLabel* problem_ = nullptr;
    QPushButton* ok_ = nullptr;
    std::vector<std::string> history_;  // newest first, as listed
    // The URL last put into the text, which shows it masked.
    std::string origin_;
};

}  // namespace tovan
