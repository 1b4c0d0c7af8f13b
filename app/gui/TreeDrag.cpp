#include "app/gui/TreeDrag.h"

#include <QCoreApplication>

#include "app/PasteUrl.h"
#include "app/gui/NodeLookup.h"

namespace tovan {

QUrl TreeDrag::url_of(const Server& server, const Entry* entry) {
    if (server.kind() == ServerKind::Local)
        return QUrl::fromLocalFile(QString::fromStdString(server.url(entry)));
    return QUrl(QString::fromStdString(paste_url(server, entry)), QUrl::StrictMode);
}

std::unique_ptr<QMimeData> TreeDrag::mime_data(const QList<QUrl>& urls) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> valid;
    QStringList texts;
    for (const QUrl& url : urls) {
        if (!url.isValid())
            continue;
        valid.push_back(url);
        texts.push_back(url.toString(QUrl::PreferLocalFile));
    }
    if (!valid.isEmpty()) {
        data->setUrls(valid);
        data->setText(texts.join('\n'));
    }
    return data;
}

std::unique_ptr<QMimeData> TreeDrag::mime_data(const QUrl& url, const TreeEntry* node) {
    std::unique_ptr<QMimeData> data = mime_data(QList<QUrl>{url});
    if (node != nullptr) {
        const QString handle = QString("%1:%2")
                                   .arg(QCoreApplication::applicationPid())
                                   .arg(reinterpret_cast<quintptr>(node), 0, 16);
        data->setData(NodeFormat, handle.toLatin1());
    }
    return data;
}

SharedPtr<TreeEntry> TreeDrag::dropped_node(const QMimeData& data,
                                            const SharedPtr<TreeEntry>& root) {
    const QList<QByteArray> parts = data.data(NodeFormat).split(':');
    if (parts.size() != 2)
        return {};
    bool pid_read = false;
    bool address_read = false;
    const qint64 pid = parts[0].toLongLong(&pid_read);
    const quintptr address = parts[1].toULongLong(&address_read, 16);
    if (!pid_read || !address_read || pid != QCoreApplication::applicationPid())
        return {};
    // Compared with the document's nodes, never followed.
    return find_node(root, reinterpret_cast<const TreeEntry*>(address));
}

}  // namespace tovan
