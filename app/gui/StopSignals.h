#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace tovan {

// SIGTERM, SIGINT and SIGHUP (a session that ends, Ctrl+C in a terminal, kill)
// become a signal on the interface thread, so that the program ends as if its
// user had quit: scans stopped, jobs paused, everything saved.
class StopSignals : public QObject {
    Q_OBJECT

public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

signals:
    void stop_requested();

private:
    static void handle(int number);

    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tovan
