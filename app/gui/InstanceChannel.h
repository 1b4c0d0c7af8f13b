#pragma once

#include <QLocalServer>
#include <QObject>
#include <string>

namespace tovan {

// How a second start of the desktop program on the same data folder reaches the
// first: the first listens on a socket in the data folder (only its owner may
// connect), the second asks it to show its window and ends.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    static constexpr const char* SocketName = "ferrovane-window.socket";

    explicit InstanceChannel(QObject* parent = nullptr);

    // Listens in the data folder (path ends with "/"). Only the holder of the
    // folder's lock calls this, so a socket file found there is a stale one.
    bool listen(const std::string& data_folder);

    // Asks the program listening in the data folder to show its window; true when
    // it answered that it did.
    static bool ask_to_show(const std::string& data_folder, int timeout_ms = 3000);

signals:
    void show_requested();

private:
    void answer();

    QLocalServer server_;
};

}  // namespace tovan
