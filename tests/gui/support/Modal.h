#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <cstdlib>
#include <functional>

namespace tovan::test {

// Answers a modal dialog from the event loop once it shows: a dialog's exec()
// blocks the test, and a dialog it opens in turn nests another loop, so each
// dialog gets its answer queued before whatever opens it runs. The test fails
// when no modal widget of that object name shows within ten seconds.
void when_shown(const QString& object_name, std::function<void(QWidget&)> answer);

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
