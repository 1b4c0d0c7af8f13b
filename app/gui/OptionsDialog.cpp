#include "app/gui/OptionsDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/Options.h"

namespace tovan {

namespace {

// How an option is kept, from the table of options, so a control bound by name
// cannot go out of step with the file or the command line.
template <typename Kind>
const Kind& kind_of(const char* name) {
    return std::get<Kind>(Options::field(name)->kind);
}

QVBoxLayout* page_layout(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

// Lines of a check box, its number and the number's unit, the numbers one
// under the other.
QGridLayout* numbers_layout(QVBoxLayout* page) {
    auto* grid = new QGridLayout;
    page->addLayout(grid);
    return grid;
}

}  // namespace

OptionsDialog::OptionsDialog(Options& options, QWidget* parent)
    : PagedDialog(parent), options_(options) {
    setObjectName("options");
    setWindowTitle(tr("Options"));
    set_header(tr("Ferrovane"));
    add_page(tr("General"), general_page());
    add_page(tr("Scheduler"), scheduler_page());
    add_page(tr("Automation"), automation_page());
    add_page(tr("Synchronize"), synchronize_page());
}

void OptionsDialog::accept() {
    for (const auto& [member, box] : flags_) options_.*member = box->isChecked();
    for (const auto& [member, field] : numbers_)
        options_.*member = static_cast<std::uint32_t>(field->value());
    if (startup_action_->checkedId() >= 0)
        options_.startup_action = startup_action_->checkedId();
    PagedDialog::accept();
}

QWidget* OptionsDialog::general_page() {
    auto* page = new QWidget;
    auto* view = new QGroupBox(tr("View"), page);
    auto* view_layout = new QVBoxLayout(view);
    view_layout->addWidget(flag("show_changed_only", tr("Show c&hanged items only"), view));
    view_layout->addWidget(flag("show_scan_depth", tr("Show scan &depth"), view));
    view_layout->addWidget(flag("show_online_only", tr("Show o&nline servers only"), view));
    view_layout->addWidget(flag("show_scan_time", tr("Show scan &time"), view));
    QVBoxLayout* layout = page_layout(page);
    layout->addWidget(view);
    layout->addWidget(flag("start_at_login", tr("&Start at login"), page));
    layout->addWidget(flag("minimize_to_tray_on_close", tr("Minimize to tray on c&lose"), page));
    layout->addWidget(flag("minimize_to_tray", tr("&Minimize to tray"), page));
    layout->addWidget(
        flag("notify_changes", tr("Show a notification of ne&w changes while hidden"), page));
    layout->addStretch();
    return page;
}

QWidget* OptionsDialog::scheduler_page() {
    auto* page = new QWidget;
    QVBoxLayout* layout = page_layout(page);
    QGridLayout* numbers = numbers_layout(layout);
    number(numbers, "update_status_enabled", tr("&Update status every"), "update_status_minutes",
           tr("mi&nutes"));
    number(numbers, "synchronize_enabled", tr("&Synchronize every"), "synchronize_minutes",
           tr("minu&tes"));
    layout->addStretch();
    return page;
}

QWidget* OptionsDialog::automation_page() {
    static const char* const Texts[] = {QT_TR_NOOP("&No startup action"),
                                        QT_TR_NOOP("&Update status only"),
                                        QT_TR_NOOP("&Full synchronize")};
    auto* page = new QWidget;
    auto* group = new QGroupBox(tr("Startup action:"), page);
    auto* group_layout = new QVBoxLayout(group);
    startup_action_ = new QButtonGroup(group);
    for (int index = 0; index <= Options::FullSynchronize; ++index) {
        auto* button = new QRadioButton(tr(Texts[index]), group);
        button->setObjectName(QString("startup_action_%1").arg(index));
        button->setChecked(index == options_.startup_action);
        startup_action_->addButton(button, index);
        group_layout->addWidget(button);
    }
    QVBoxLayout* layout = page_layout(page);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

QWidget* OptionsDialog::synchronize_page() {
    auto* page = new QWidget;
    QVBoxLayout* layout = page_layout(page);
    layout->addWidget(flag("mark_deleted", tr("Mark &deleted items"), page));
    layout->addWidget(flag("full_scan_new_folders", tr("&Full scan new folders"), page));
    layout->addWidget(
        flag("mark_changed_by_mtime", tr("Mark changed by changed &modification time"), page));
    number(numbers_layout(layout), "unmark_old_enabled", tr("&Unmark files changed more than"),
           "unmark_old_hours", tr("&hours ago (modification time)"));
    layout->addStretch();
    return page;
}

QCheckBox* OptionsDialog::flag(const char* name, const QString& text, QWidget* page) {
    const auto& kind = kind_of<OptionField::Flag>(name);
    auto* box = new QCheckBox(text, page);
    box->setObjectName(name);
    box->setChecked(options_.*kind.member);
    flags_.emplace_back(kind.member, box);
    return box;
}

void OptionsDialog::number(QGridLayout* grid, const char* flag_name, const QString& text,
                           const char* number_name, const QString& unit) {
    QWidget* page = grid->parentWidget();
    const auto& kind = kind_of<OptionField::Number>(number_name);
    QCheckBox* box = flag(flag_name, text, page);
    auto* field = new QSpinBox(page);
    field->setObjectName(number_name);
    field->setRange(static_cast<int>(kind.low), static_cast<int>(kind.high));
    field->setValue(static_cast<int>(options_.*kind.member));
    numbers_.emplace_back(kind.member, field);
    auto* label = new QLabel(unit, page);
    label->setBuddy(field);
    for (QWidget* each : {static_cast<QWidget*>(field), static_cast<QWidget*>(label)}) {
        each->setEnabled(box->isChecked());
        connect(box, &QCheckBox::toggled, each, &QWidget::setEnabled);
    }
    const int row = grid->count() / 3;
    grid->addWidget(box, row, 0);
    grid->addWidget(field, row, 1);
    grid->addWidget(label, row, 2);
    grid->setColumnStretch(3, 1);
}

}  // namespace tovan
