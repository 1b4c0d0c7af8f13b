#include "app/widgets/MaskListEditor.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <utility>
#include <vector>

#include "app/widgets/EnterKey.h"

namespace tovan {

MaskListEditor::MaskListEditor(QWidget* parent) : QWidget(parent) {
    mask_ = new QLineEdit(this);
    mask_->setObjectName("mask");
    mask_->setPlaceholderText(tr("e.g. *.mkv or -*.tmp"));
    new EnterKey(mask_, [this] {
        if (mask_->text().trimmed().isEmpty())
            return false;
        add();
        return true;
    });
    list_ = new QListWidget(this);
    list_->setObjectName("masks");
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const auto button = [this](const QString& text, const char* name) {
        auto* made = new QPushButton(text, this);
        made->setObjectName(name);
        made->setAutoDefault(false);
        return made;
    };
    add_ = button(tr("&Add"), "add");
    remove_ = button(tr("&Remove"), "remove");
    up_ = button(tr("&Up"), "up");
    down_ = button(tr("&Down"), "down");

    auto* mask_label = new QLabel(tr("&Mask:"), this);
    mask_label->setBuddy(mask_);
    auto* list_label = new QLabel(tr("Current mas&ks:"), this);
    list_label->setBuddy(list_);
    auto* help = new QLabel(tr("A mask that begins with \"-\" ignores the changes it matches; "
                               "any other marks them. The first mask that matches decides."),
                            this);
    help->setWordWrap(true);
    auto* moves = new QVBoxLayout;
    for (QPushButton* each : {remove_, up_, down_}) moves->addWidget(each);
    moves->addStretch();

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(mask_label, 0, 0, 1, 2);
    grid->addWidget(mask_, 1, 0);
    grid->addWidget(add_, 1, 1);
    grid->addWidget(list_label, 2, 0, 1, 2);
    grid->addWidget(list_, 3, 0);
    grid->addLayout(moves, 3, 1);
    grid->addWidget(help, 4, 0, 1, 2);
    setTabOrder(mask_, add_);
    setTabOrder(add_, list_);
    setTabOrder(list_, remove_);
    setTabOrder(remove_, up_);
    setTabOrder(up_, down_);

    auto* remove_key = new QShortcut(QKeySequence::Delete, list_);
    remove_key->setContext(Qt::WidgetShortcut);
    connect(remove_key, &QShortcut::activated, this, &MaskListEditor::remove_selected);
    connect(add_, &QPushButton::clicked, this, &MaskListEditor::add);
    connect(remove_, &QPushButton::clicked, this, &MaskListEditor::remove_selected);
    connect(up_, &QPushButton::clicked, this, [this] { move_selected(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { move_selected(1); });
    connect(mask_, &QLineEdit::textChanged, this, &MaskListEditor::update_buttons);
    connect(list_, &QListWidget::itemSelectionChanged, this, &MaskListEditor::update_buttons);
    update_buttons();
}

void MaskListEditor::set_masks(const QStringList& masks) {
    list_->clear();
    list_->addItems(masks);
    update_buttons();
}

QStringList MaskListEditor::masks() const {
    QStringList all;
    for (int row = 0; row < list_->count(); ++row) all << list_->item(row)->text();
    return all;
}

void MaskListEditor::add() {
    const QString mask = mask_->text().trimmed();
    if (!mask.isEmpty())
        list_->insertItem(0, mask);
    mask_->clear();
    mask_->setFocus();
    update_buttons();
}

void MaskListEditor::remove_selected() {
    for (int row = list_->count() - 1; row >= 0; --row)
        if (list_->item(row)->isSelected())
            delete list_->takeItem(row);
    update_buttons();
}

// Each selected mask whose neighbour on that side is not selected swaps with it,
// going against the direction of the move, so a block moves by one as a whole
// and a block at the end stays.
void MaskListEditor::move_selected(int step) {
    const int count = list_->count();
    std::vector<std::pair<QString, bool>> rows;
    for (int row = 0; row < count; ++row)
        rows.emplace_back(list_->item(row)->text(), list_->item(row)->isSelected());
    const int first = step < 0 ? 1 : count - 2;
    for (int row = first; row >= 0 && row < count; row -= step)
        if (rows[row].second && !rows[row + step].second)
            std::swap(rows[row], rows[row + step]);
    for (int row = 0; row < count; ++row) {
        list_->item(row)->setText(rows[row].first);
        list_->item(row)->setSelected(rows[row].second);
    }
}

void MaskListEditor::update_buttons() {
    add_->setEnabled(!mask_->text().trimmed().isEmpty());
    const bool selected = !list_->selectedItems().isEmpty();
    for (QPushButton* each : {remove_, up_, down_}) each->setEnabled(selected);
}

}  // namespace tovan
