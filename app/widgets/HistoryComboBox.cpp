#include "app/widgets/HistoryComboBox.h"

namespace tovan {

HistoryComboBox::HistoryComboBox(const QStringList& earlier, const QString& text, QWidget* parent)
    : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    addItems(earlier);
    setEditText(text);
}

}  // namespace tovan
