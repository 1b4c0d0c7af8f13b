#pragma once

#include <QComboBox>

namespace tovan {

// A field to type in, with earlier entries to pick from. Typing never
// completes to an earlier entry: a typed parent folder or a shorter host name
// would silently become a longer one.
class HistoryComboBox : public QComboBox {
    Q_OBJECT

public:
    HistoryComboBox(const QStringList& earlier, const QString& text, QWidget* parent = nullptr);
};

}  // namespace tovan
