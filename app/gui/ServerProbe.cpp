#include "app/gui/ServerProbe.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <thread>

namespace tovan {

void ServerProbe::run(QWidget* parent, const QString& text, const std::function<void()>& work) {
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    std::thread probe([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
    });
    // A busy note without a Cancel button: the probe can't be stopped halfway,
    // and its time-outs bound the wait.
    QProgressDialog busy(text, QString(), 0, 0, parent);
    busy.setWindowModality(Qt::WindowModal);
    busy.setMinimumDuration(300);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.quit();
        else
            busy.setValue(0);
    });
    poll.start(20);
    if (!done)
        loop.exec();
    probe.join();
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace tovan
