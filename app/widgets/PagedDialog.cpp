#include "app/widgets/PagedDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tovan {

namespace {

QLabel* make_header(QWidget* parent) {
    auto* header = new QLabel(parent);
    header->setObjectName("header");
    QFont font = header->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    header->setFont(font);
    return header;
}

QFrame* make_rule(QWidget* parent) {
    auto* rule = new QFrame(parent);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    return rule;
}

}  // namespace

PagedDialog::PagedDialog(QWidget* parent)
    : QDialog(parent),
      header_(make_header(this)),
      names_(new QListWidget(this)),
      pages_(new QStackedWidget(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    names_->setObjectName("page_names");
    names_->setAccessibleName(tr("Pages"));
    // As wide as the longest name in the user's font, and no wider.
    names_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    names_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    names_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    names_->setSpacing(names_->fontMetrics().height() / 6);
    pages_->setObjectName("pages");
    buttons_->setObjectName("buttons");
    connect(names_, &QListWidget::currentRowChanged, pages_, &QStackedWidget::setCurrentIndex);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(header_);
    right->addWidget(make_rule(this));
    right->addWidget(pages_, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(names_);
    row->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addWidget(make_rule(this));
    layout->addWidget(buttons_);
}

void PagedDialog::set_header(const QString& text) {
    header_->setText(text);
}

void PagedDialog::add_page(const QString& name, QWidget* page) {
    names_->addItem(name);
    pages_->addWidget(page);
    if (names_->count() == 1)
        names_->setCurrentRow(0);
    keep_buttons_last_in_tab_order();
}

void PagedDialog::show_page(int index) {
    names_->setCurrentRow(index);
}

// A page joins the Tab chain where it was made or added, which is after the
// buttons made with the dialog: move them back behind it.
void PagedDialog::keep_buttons_last_in_tab_order() {
    QWidget* last = previousInFocusChain();
    const QList<QAbstractButton*> buttons = buttons_->buttons();
    while (last != this && (last->focusPolicy() == Qt::NoFocus ||
                            buttons.contains(qobject_cast<QAbstractButton*>(last))))
        last = last->previousInFocusChain();
    for (QAbstractButton* each :
         {buttons_->button(QDialogButtonBox::Ok), buttons_->button(QDialogButtonBox::Cancel)}) {
        setTabOrder(last, each);
        last = each;
    }
}

}  // namespace tovan
