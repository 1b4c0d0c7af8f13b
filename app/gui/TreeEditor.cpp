#include "app/gui/TreeEditor.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/Document.h"
#include "app/Scheduler.h"
#include "app/gui/FtpServerDialog.h"
#include "app/gui/GroupDialog.h"
#include "app/gui/HostKeyDialog.h"
#include "app/gui/LocalServerDialog.h"
#include "app/gui/NodeLookup.h"
#include "engine/catalog/PasswordMask.h"
#include "engine/catalog/Server.h"

namespace tovan {

namespace {

const char* const ExportFilter =
    QT_TRANSLATE_NOOP("TreeEditor", "Export Files (*.srv);;All Files (*)");

}  // namespace

TreeEditor::TreeEditor(Document& document, Scheduler& scheduler, QWidget* window)
    : document_(document), scheduler_(scheduler), window_(window) {}

void TreeEditor::warn(const QString& text) const {
    QMessageBox::warning(window_, QObject::tr("Ferrovane"), text);
}

SharedPtr<TreeEntry> TreeEditor::add_group(const SharedPtr<TreeEntry>& group) {
    const std::optional<std::string> name = GroupDialog::ask(window_);
    if (!name)
        return {};
    SharedPtr<TreeEntry> added = TreeEntry::make_group(*name);
    group->children.push_back(added);
    return added;
}

SharedPtr<TreeEntry> TreeEditor::add_server(const SharedPtr<TreeEntry>& group, Place place) {
    SharedPtr<TreeEntry> added;
    if (place == Place::Ftp) {
        if (const std::optional<FtpServerForm> form = FtpServerDialog::ask(window_))
            added = form->make_node(document_.filter());
        if (added && !HostKeyDialog::confirm(window_, *added->server))
            return {};
    } else if (const auto record = LocalServerDialog::ask(
                   window_, {place == Place::Local ? LocalServerDialog::Place::Local
                                                   : LocalServerDialog::Place::Network,
                             {},
                             {}})) {
        auto server = make_shared<Server>();
        if (!read_place(*server, record->path))
            return {};
        server->set_parent_filter(&document_.filter());
        added = TreeEntry::make_server_node(server, record->name);
    }
    if (added)
        group->children.push_back(added);
    return added;
}

bool TreeEditor::read_place(Server& server, const std::string& path) const {
    std::string problem;
    if (server.from_url(path, nullptr, &problem))
        return true;
    warn(QObject::tr("\"%1\" names no place to watch: %2. Type a folder path or a URL.")
             .arg(QString::fromStdString(masked_passwords(path)), QString::fromStdString(problem)));
    return false;
}

bool TreeEditor::edit(const SharedPtr<TreeEntry>& node) {
    if (node->kind == TreeEntry::Group) {
        const std::optional<std::string> name = GroupDialog::ask(window_, node->name);
        if (name)
            node->name = *name;
        return name.has_value();
    }
    if (!node->server)
        return false;
    if (has_ftp_settings(node->server->kind())) {
        const std::optional<FtpServerForm> form = FtpServerDialog::ask(window_, node.get());
        if (!form || !HostKeyDialog::confirm(window_, *form->make_node(document_.filter())->server))
            return false;
        form->apply_to(*node);
        return true;
    }
    const auto place = node->server->kind() == ServerKind::Network
                           ? LocalServerDialog::Place::Network
                           : LocalServerDialog::Place::Local;
    // A local folder's dialog takes a path, a share's a URL.
    const std::string path = place == LocalServerDialog::Place::Local
                                 ? node->server->url()
                                 : node->server->url_with_scheme();
    const auto record = LocalServerDialog::ask(window_, {place, path, node->name});
    if (!record || (record->path != path && !read_place(*node->server, record->path)))
        return false;
    node->name = record->name;
    return true;
}

bool TreeEditor::remove(const SharedPtr<TreeEntry>& node) {
    if (!find_parent(document_.servers(), node.get()))
        return false;
    const auto answer =
        QMessageBox::question(window_, QObject::tr("Remove"),
                              QObject::tr("Do you want to remove \"%1\" and everything in it?")
                                  .arg(QString::fromStdString(masked_passwords(node->label()))),
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    return answer == QMessageBox::Ok && remove_now(node);
}

bool TreeEditor::remove_now(const SharedPtr<TreeEntry>& node) {
    const SharedPtr<TreeEntry> parent = find_parent(document_.servers(), node.get());
    if (!parent)
        return false;
    scheduler_.stop_scanning(*node);
    std::erase(parent->children, node);
    return true;
}

bool TreeEditor::export_node(const SharedPtr<TreeEntry>& node) {
    const QString path = QFileDialog::getSaveFileName(window_, QObject::tr("Export"), "export.srv",
                                                      QObject::tr(ExportFilter));
    if (path.isEmpty())
        return false;
    const QString file = QFileInfo(path).suffix().isEmpty() ? path + ".srv" : path;
    if (document_.export_node(*node, file.toStdString()))
        return true;
    warn(QObject::tr("Ferrovane could not write %1; the log says why. Choose a folder you "
                     "can write to.")
             .arg(file));
    return false;
}

SharedPtr<TreeEntry> TreeEditor::import_into(const SharedPtr<TreeEntry>& group) {
    const QString path =
        QFileDialog::getOpenFileName(window_, QObject::tr("Import"), {}, QObject::tr(ExportFilter));
    if (path.isEmpty())
        return {};
    SharedPtr<TreeEntry> imported = document_.import_file(path.toStdString());
    if (!imported) {
        warn(QObject::tr("%1 could not be read as an export file; the log says why.").arg(path));
        return {};
    }
    // Its servers defer to the document's change filter, as every other does.
    const auto link_filters = [this](const TreeEntry& node, const auto& self) -> void {
        if (node.server)
            node.server->set_parent_filter(&document_.filter());
        for (const SharedPtr<TreeEntry>& child : node.children) self(*child, self);
    };
    link_filters(*imported, link_filters);
    group->children.push_back(imported);
    return imported;
}

}  // namespace tovan
