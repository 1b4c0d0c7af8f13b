#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <functional>
#include <string>

#include "app/Autostart.h"
#include "app/DamagedFiles.h"
#include "app/Options.h"
#include "gui/support/Modal.h"
#include "gui/support/WindowTest.h"

namespace tovan {
namespace {

using test::child;

// The check boxes of the pages, every one bound to the option of its name.
constexpr const char* Flags[] = {
    "show_changed_only",     "show_scan_depth",   "show_online_only",
    "show_scan_time",        "start_at_login",    "minimize_to_tray_on_close",
    "minimize_to_tray",      "notify_changes",    "update_status_enabled",
    "synchronize_enabled",   "mark_deleted",      "full_scan_new_folders",
    "mark_changed_by_mtime", "unmark_old_enabled"};

struct NumberField {
    const char* flag;
    const char* number;
    std::uint32_t Options::*member;
};
constexpr NumberField Numbers[] = {
    {"update_status_enabled", "update_status_minutes", &Options::update_status_minutes},
    {"synchronize_enabled", "synchronize_minutes", &Options::synchronize_minutes},
    {"unmark_old_enabled", "unmark_old_hours", &Options::unmark_old_hours}};

class OptionsDialogTest : public test::WindowTest {
protected:
    // Opens the dialog through the command, as the user does, and lets act work
    // on it while it runs.
    void with_dialog(const std::function<void(QDialog&)>& act) {
        test::on_next_modal<QDialog>([&](QDialog& dialog) {
            act(dialog);
            EXPECT_FALSE(dialog.isVisible()) << "the dialog is still open";
        });
        window->route(Command::Options);
    }

    // Flips every check box, sets the numbers and picks the startup action.
    static void change_all(QDialog& dialog, const std::uint32_t (&numbers)[3], int startup) {
        for (const char* name : Flags) child<QCheckBox>(dialog, name).click();
        for (int at = 0; at < 3; ++at)
            child<QSpinBox>(dialog, Numbers[at].number).setValue(static_cast<int>(numbers[at]));
        const std::string choice = "startup_action_" + std::to_string(startup);
        child<QRadioButton>(dialog, choice.c_str()).click();
    }

    static Options changed_all(Options options, const std::uint32_t (&numbers)[3], int startup) {
        for (const char* name : Flags) {
            bool& flag = options.*std::get<OptionField::Flag>(Options::field(name)->kind).member;
            flag = !flag;
        }
        for (int at = 0; at < 3; ++at) options.*Numbers[at].member = numbers[at];
        options.startup_action = startup;
        return options;
    }

    bool autostart_entry() const {
        return std::filesystem::exists(autostart_folder() + "/" + Autostart::EntryName);
    }
};

// Enter in the page list is OK; each round flips every check box, so the
// autostart entry goes and then comes back.
TEST_F(OptionsDialogTest, OkWritesEveryPageBackSavesTheOptionsAndAppliesAutostart) {
    open_window();
    ASSERT_TRUE(autostart_entry());
    const struct {
        std::uint32_t numbers[3];
        int startup;
    } rounds[] = {{{1, 9999, 5}, Options::NoStartupAction},
                  {{60, 10, 72}, Options::UpdateStatusOnly}};
    for (const auto& round : rounds) {
        const Options expected = changed_all(application->options(), round.numbers, round.startup);
        with_dialog([&](QDialog& dialog) {
            change_all(dialog, round.numbers, round.startup);
            QTest::keyClick(&child<QWidget>(dialog, "page_names"), Qt::Key_Return);
        });
        EXPECT_EQ(application->options(), expected);
        Options stored;
        DamagedFiles damaged;
        ASSERT_TRUE(stored.load(data_folder(), damaged));
        EXPECT_EQ(stored, expected);
        EXPECT_EQ(autostart_entry(), expected.start_at_login);
    }
}

TEST_F(OptionsDialogTest, CancelAndEscapeChangeNothing) {
    open_window();
    application->save_options();
    const Options before = application->options();
    const auto files_before = test::data_files(data_folder());
    const std::function<void(QDialog&)> closes[] = {
        [](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [](QDialog& dialog) {
            child<QDialogButtonBox>(dialog, "buttons").button(QDialogButtonBox::Cancel)->click();
        }};
    for (const auto& close : closes) {
        with_dialog([&](QDialog& dialog) {
            change_all(dialog, {2, 3, 4}, Options::NoStartupAction);
            close(dialog);
        });
        EXPECT_EQ(application->options(), before);
        EXPECT_EQ(test::data_files(data_folder()), files_before);
        EXPECT_TRUE(autostart_entry());
    }
}

}  // namespace
}  // namespace tovan
