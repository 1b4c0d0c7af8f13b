#include "app/gui/FilterDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "app/widgets/MaskListEditor.h"
#include "app/widgets/TextSize.h"

namespace tovan {

FilterDialog::FilterDialog(const std::vector<std::string>& masks, QWidget* parent)
    : QDialog(parent) {
    setObjectName("filterDialog");
    setWindowTitle(tr("Scan Changes Filter"));
    editor_ = new MaskListEditor(this);
    QStringList texts;
    for (const std::string& mask : masks) texts << QString::fromStdString(mask);
    editor_->set_masks(texts);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(editor_);
    layout->addWidget(buttons);
    resize(sizeHint().expandedTo(text_size(*this, 60, 22)));
}

std::optional<std::vector<std::string>> FilterDialog::ask(QWidget* parent,
                                                          const std::vector<std::string>& masks) {
    FilterDialog dialog(masks, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.masks();
}

std::vector<std::string> FilterDialog::masks() const {
    std::vector<std::string> all;
    for (const QString& mask : editor_->masks()) all.push_back(mask.toStdString());
    return all;
}

}  // namespace tovan
