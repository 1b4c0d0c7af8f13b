#pragma once

#include <QDialog>

namespace tovan {

class Options;

// The options, on pages: filled from the options when shown, written back to
// them only on OK.
class OptionsDialog : public QDialog {
    Q_OBJECT

public:
    OptionsDialog(Options& options, QWidget* parent = nullptr);

    void accept() override;

private:
    Options& options_;
};

}  // namespace tovan
