#pragma once

#include <QtGlobal>

namespace bench {

// The windows' benchmarks run without a screen unless QT_QPA_PLATFORM names a
// platform (xcb under Xvfb, say). Call before the QApplication is made.
inline void default_to_offscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace bench
