#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QListWidget;
class QStackedWidget;

namespace tovan {

// A dialog of named pages: the names listed on the left, the chosen page on the
// right under a fixed header, OK and Cancel below. Enter is OK and Escape is
// Cancel, as in any dialog; Tab goes from the list through the page to the
// buttons. What OK does is the subclass's accept().
class PagedDialog : public QDialog {
    Q_OBJECT

public:
    explicit PagedDialog(QWidget* parent = nullptr);

    void set_header(const QString& text);
    // Appends a page under that name; the dialog takes the page over. The first
    // page added is the one shown.
    void add_page(const QString& name, QWidget* page);
    void show_page(int index);

private:
    void keep_buttons_last_in_tab_order();

    QLabel* header_;
    QListWidget* names_;
    QStackedWidget* pages_;
    QDialogButtonBox* buttons_;
};

}  // namespace tovan
