#include "gui/support/Modal.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <chrono>

namespace tovan::test {

void when_shown(const QString& object_name, std::function<void(QWidget&)> answer) {
    auto* timer = new QTimer(qApp);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        // Keys and focus work once the window is active.
        const bool shown =
            modal != nullptr && modal->objectName() == object_name && modal->isActiveWindow();
        if (!shown && std::chrono::steady_clock::now() < deadline)
            return;
        timer->stop();
        timer->deleteLater();
        if (!shown) {
            ADD_FAILURE() << object_name.toStdString() << " never showed";
            return;
        }
        answer(*modal);
    });
    timer->start(10);
}

}  // namespace tovan::test
