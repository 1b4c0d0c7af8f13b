#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDialog>
#include <QMenu>
#include <QString>
#include <QWidget>
#include <cstdlib>
#include <functional>

namespace tovan::test {

// Answers a modal dialog from the event loop once it shows and is active: a
// dialog's exec() blocks the test, and a dialog it opens in turn nests another
// loop, so each dialog gets its answer queued before whatever opens it runs.
// The test fails when no such modal widget shows within ten seconds.
void when_shown(std::function<bool(QWidget&)> matches, std::function<void(QWidget&)> answer);

// The modal widget of that object name.
inline void when_shown(const QString& object_name, std::function<void(QWidget&)> answer) {
    when_shown([object_name](QWidget& modal) { return modal.objectName() == object_name; },
               std::move(answer));
}

// The next modal dialog of that type; one that act leaves open after a failed
// expectation is cancelled, so the test ends instead of hanging.
template <class Dialog = QDialog>
void on_next_modal(std::function<void(Dialog&)> act) {
    when_shown([](QWidget& modal) { return qobject_cast<Dialog*>(&modal) != nullptr; },
               [act = std::move(act)](QWidget& modal) {
                   auto& dialog = static_cast<Dialog&>(modal);
                   act(dialog);
                   if (::testing::Test::HasFailure() && dialog.isVisible())
                       dialog.reject();
               });
}

// Opens the view's context menu at the index, as a right click does, and lets
// look read the menu before it closes; the test fails when none opens.
void on_context_menu(QAbstractItemView& view, const QModelIndex& index,
                     const std::function<void(QMenu&)>& look);

// A child of the widget by object name; the test stops when there is none.
template <class Child>
Child& child(const QWidget& widget, const char* name) {
    auto* found = widget.findChild<Child*>(name);
    if (found == nullptr) {
        ADD_FAILURE() << "no child named " << name;
        std::abort();
    }
    return *found;
}

}  // namespace tovan::test
