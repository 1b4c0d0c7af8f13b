#include "app/widgets/EnterKey.h"

#include <QKeyEvent>
#include <QWidget>

namespace tovan {

EnterKey::EnterKey(QWidget* field, std::function<bool()> pressed)
    : QObject(field), pressed_(std::move(pressed)) {
    field->installEventFilter(this);
}

bool EnterKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && pressed_())
            return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tovan
