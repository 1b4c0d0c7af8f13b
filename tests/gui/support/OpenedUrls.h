#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace tovan::test {

// Takes the desktop's place for the schemes given while it lives: what the
// program asks to open is kept here instead of starting an application.
class OpenedUrls : public QObject {
    Q_OBJECT

public:
    explicit OpenedUrls(QStringList schemes);
    ~OpenedUrls() override;

    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }

private:
    QStringList schemes_;
};

}  // namespace tovan::test
