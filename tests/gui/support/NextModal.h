#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>

namespace tovan::test {

// Acts on the next modal dialog once it shows: call this, then what runs the
// dialog, which returns once act has closed it. A dialog that act leaves open
// after a failed expectation is cancelled, so the test ends instead of hanging.
template <class Dialog = QDialog>
void on_next_modal(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        EXPECT_NE(dialog, nullptr) << "no modal dialog of the type expected";
        if (dialog == nullptr) {
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->reject();
            return;
        }
        // Without a window manager nothing activates it, and keys need an active window.
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        act(*dialog);
        if (::testing::Test::HasFailure() && dialog->isVisible())
            dialog->reject();
    });
}

}  // namespace tovan::test
