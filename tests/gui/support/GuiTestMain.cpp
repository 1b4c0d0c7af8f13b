#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Window tests run without a screen unless the caller chose a platform (a
// virtual X server with a tray host, say).
int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    QApplication::setApplicationVersion("2.2");
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Qt and glib are not built for ThreadSanitizer, so their own threads look racy
// to it. Only reports whose whole stack lies in them are dropped: a race in our
// code reached from a Qt slot is still reported. (The tray cases, which need X,
// do not run under ThreadSanitizer: the X client libraries' own locking trips it.)
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so\ncalled_from_lib:libQt6Gui.so\n"
           "called_from_lib:libQt6Widgets.so\ncalled_from_lib:libQt6Test.so\n"
           "called_from_lib:libglib-2.0.so\ncalled_from_lib:libQt6Network.so\n";
}
