#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "app/widgets/PagedDialog.h"

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QSpinBox;

namespace tovan {

class Options;

// The options, on pages: filled from the options when made, written back to
// them only on OK. Every control is named after its option, the startup
// choices "startup_action_0" to "startup_action_2".
class OptionsDialog : public PagedDialog {
    Q_OBJECT

public:
    OptionsDialog(Options& options, QWidget* parent = nullptr);

    void accept() override;

private:
    QWidget* general_page();
    QWidget* scheduler_page();
    QWidget* automation_page();
    QWidget* synchronize_page();

    QCheckBox* flag(const char* name, const QString& text, QWidget* page);
    // A check box, its number and the number's unit on a new line of the grid;
    // the number can be changed only while the box is checked.
    void number(QGridLayout* grid, const char* flag_name, const QString& text,
                const char* number_name, const QString& unit);

    Options& options_;
    std::vector<std::pair<bool Options::*, QCheckBox*>> flags_;
    std::vector<std::pair<std::uint32_t Options::*, QSpinBox*>> numbers_;
    QButtonGroup* startup_action_ = nullptr;
};

}  // namespace tovan
