#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tovan {

// Asks a server something (its host key, its certificate) off the interface
// thread, so that the window keeps painting and its timers keep running while
// the server takes its time, up to the connection time-outs. A busy note shows
// meanwhile. The work must touch no Qt object; what it throws is thrown again
// here.
class ServerProbe {
public:
    static void run(QWidget* parent, const QString& text, const std::function<void()>& work);
};

}  // namespace tovan
