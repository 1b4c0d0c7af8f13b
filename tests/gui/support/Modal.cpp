#include "gui/support/Modal.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QTimer>
#include <chrono>

namespace tovan::test {

void when_shown(std::function<bool(QWidget&)> matches, std::function<void(QWidget&)> answer) {
    auto* timer = new QTimer(qApp);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal != nullptr && matches(*modal);
        // Keys and focus work once the window is active; without a window
        // manager nothing activates it.
        if (found && !modal->isActiveWindow())
            modal->activateWindow();
        const bool shown = found && modal->isActiveWindow();
        if (!shown && std::chrono::steady_clock::now() < deadline)
            return;
        timer->stop();
        timer->deleteLater();
        if (!shown) {
            ADD_FAILURE() << "the dialog awaited never showed";
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            return;
        }
        answer(*modal);
    });
    timer->start(10);
}

void on_context_menu(QAbstractItemView& view, const QModelIndex& index,
                     const std::function<void(QMenu&)>& look) {
    bool opened = false;
    // Local, so that it cannot fire after this returns when no menu opened.
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            opened = true;
            look(*menu);
            menu->close();
        }
    });
    timer.start(0);
    const QPoint at = view.visualRect(index).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, view.viewport()->mapToGlobal(at));
    QApplication::sendEvent(view.viewport(), &click);
    EXPECT_TRUE(opened) << "no context menu opened";
}

}  // namespace tovan::test
