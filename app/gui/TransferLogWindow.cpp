#include "app/gui/TransferLogWindow.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "engine/catalog/PasswordMask.h"
#include "engine/catalog/Server.h"
#include "engine/download/Downloader.h"

namespace tovan {

namespace {

QString shown(const std::string& text) {
    return QString::fromStdString(masked_passwords(text));
}

}  // namespace

void TransferLogWindow::show_log(QWidget* parent, Downloader& job) {
    TransferLog& log = job.log();
    TransferLogWindow window(tr("Transfer Details: %1").arg(shown(job.status().name)),
                             {[&log] { return log.text(); }, [&log] { log.clear(); }}, parent);
    window.exec();
}

void TransferLogWindow::show_log(QWidget* parent, Server& server, const std::string& name) {
    TransferLogWindow window(
        tr("Log of %1").arg(shown(name)),
        {[&server] { return server.log_contents(); }, [&server] { server.clear_log(); }}, parent);
    window.exec();
}

TransferLogWindow::TransferLogWindow(const QString& title, Log log, QWidget* parent)
    : QDialog(parent), log_(std::move(log)) {
    setObjectName("transferLog");
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("Server &answers:"), this);
    layout->addWidget(label);
    answers_ = new QPlainTextEdit(this);
    answers_->setObjectName("answers");
    answers_->setReadOnly(true);
    answers_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // About 80 columns and 20 lines of the font in use.
    const QFontMetrics metrics(answers_->font());
    answers_->setMinimumSize(metrics.horizontalAdvance(QString(80, 'x')),
                             metrics.lineSpacing() * 20);
    label->setBuddy(answers_);
    layout->addWidget(answers_);

    auto* buttons = new QDialogButtonBox(this);
    auto* refresh_button = buttons->addButton(tr("&Refresh"), QDialogButtonBox::ActionRole);
    refresh_button->setObjectName("refresh");
    refresh_button->setShortcut(QKeySequence::Refresh);
    auto* clear_button = buttons->addButton(tr("C&lear"), QDialogButtonBox::ActionRole);
    clear_button->setObjectName("clear");
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName("close");
    close->setDefault(true);
    close->setFocus();
    connect(refresh_button, &QPushButton::clicked, this, &TransferLogWindow::refresh);
    connect(clear_button, &QPushButton::clicked, this, [this] {
        log_.clear();
        refresh();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    refresh();
}

// The newest answers are at the end, so that is where the view goes.
void TransferLogWindow::refresh() {
    answers_->setPlainText(shown(log_.text()).remove('\r'));
    answers_->verticalScrollBar()->setValue(answers_->verticalScrollBar()->maximum());
}

}  // namespace tovan
