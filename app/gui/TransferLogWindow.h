#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QPlainTextEdit;

namespace tovan {

class Downloader;
class Server;

// "Transfer Details": the server answers of a download job, or the activity
// log of a server ("Show Log..."), with Refresh, Clear and Close. Passwords in
// the text show as "***".
class TransferLogWindow : public QDialog {
    Q_OBJECT

public:
    struct Log {
        std::function<std::string()> text;
        std::function<void()> clear;
    };

    static void show_log(QWidget* parent, Downloader& job);
    static void show_log(QWidget* parent, Server& server, const std::string& name);

    TransferLogWindow(const QString& title, Log log, QWidget* parent = nullptr);

    void refresh();

private:
    Log log_;
    QPlainTextEdit* answers_ = nullptr;
};

}  // namespace tovan
