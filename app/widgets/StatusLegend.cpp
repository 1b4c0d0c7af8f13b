#include "app/widgets/StatusLegend.h"

#include <QHBoxLayout>
#include <QLabel>

namespace tovan {

StatusLegend::StatusLegend(const QList<Item>& items, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const Item& item : items) {
        auto* label = new QLabel(item.text, this);
        label->setObjectName("legend" + item.text);
        label->setAlignment(Qt::AlignCenter);
        // Wide enough for the longest word in the user's font, whatever its size.
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(item.text) + 12);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, item.colour);
        label->setPalette(palette);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        layout->addWidget(label);
    }
}

}  // namespace tovan
