#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <functional>
#include <memory>

#include "app/gui/FtpServerDialog.h"
#include "app/gui/TransferLogWindow.h"
#include "app/gui/UrlDialog.h"

namespace tovan {
namespace {

struct Dialog {
    const char* name;
    std::function<QDialog*()> make;
};

const Dialog dialogs[] = {
    {"FTP server", [] { return new FtpServerDialog(FtpServerForm()); }},
    {"URL", [] { return new UrlDialog({"https://example.org/a.iso"}); }},
    {"transfer log",
     [] {
         return new TransferLogWindow("Log", {[] { return "answer"; }, [] {}});
     }},
};

QChar accelerator(const QString& text) {
    const qsizetype at = text.indexOf('&');
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
}

// Every field has a label whose accelerator reaches it, no two accelerators of
// a dialog share a letter, and what Tab visits goes down the dialog as it reads.
TEST(DialogFit, LabelsReachTheirFieldsAndTabGoesDownTheDialog) {
    for (const Dialog& each : dialogs) {
        SCOPED_TRACE(each.name);
        std::unique_ptr<QDialog> dialog(each.make());
        dialog->show();
        QSet<QChar> taken;
        QSet<QWidget*> reached;
        const auto take = [&](const QString& text) {
            const QChar letter = accelerator(text);
            EXPECT_FALSE(letter.isNull() || taken.contains(letter)) << text.toStdString();
            taken.insert(letter);
        };
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (label->buddy() != nullptr) {
                take(label->text());
                reached.insert(label->buddy());
            }
        for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
            if (button->text().contains('&'))
                take(button->text());

        QList<QWidget*> order;
        for (QWidget* at = dialog->nextInFocusChain(); at != dialog.get();
             at = at->nextInFocusChain())
            if (at->isVisible() && at->isEnabled() && (at->focusPolicy() & Qt::TabFocus) &&
                at->focusProxy() == nullptr)
                order << at;
        for (int at = 0; at < order.size(); ++at) {
            QWidget* widget = order[at];
            EXPECT_FALSE(widget->objectName().isEmpty()) << widget->metaObject()->className();
            // A number after "Manual:" is reached through that button.
            const bool after_button =
                at > 0 && accelerator(order[at - 1]->property("text").toString()) != QChar();
            if (!qobject_cast<QAbstractButton*>(widget)) {
                EXPECT_TRUE(reached.contains(widget) || after_button)
                    << widget->objectName().toStdString();
            }
            if (at > 0) {
                EXPECT_GE(widget->mapTo(dialog.get(), QPoint()).y() + widget->height() / 2,
                          order[at - 1]->mapTo(dialog.get(), QPoint()).y())
                    << widget->objectName().toStdString();
            }
        }
    }
}

// With a font twice as large, every text still shows whole.
TEST(DialogFit, TextsShowWholeWithALargerFont) {
    const QFont usual = QApplication::font();
    QFont large = usual;
    large.setPointSizeF(usual.pointSizeF() * 2);
    QApplication::setFont(large);
    for (const Dialog& each : dialogs) {
        SCOPED_TRACE(each.name);
        std::unique_ptr<QDialog> dialog(each.make());
        dialog->show();
        for (QWidget* widget : dialog->findChildren<QWidget*>()) {
            const bool shows_text =
                qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget);
            if (shows_text && widget->isVisible() && !widget->sizeHint().isEmpty()) {
                EXPECT_GE(widget->width(), widget->sizeHint().width())
                    << widget->objectName().toStdString();
            }
        }
    }
    QApplication::setFont(usual);
}

}  // namespace
}  // namespace tovan
