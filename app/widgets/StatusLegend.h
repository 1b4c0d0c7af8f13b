#pragma once

#include <QWidget>

namespace tovan {

// The colour key of the status bar: one fixed-width label per change kind,
// written in the colour the views draw that kind of change in.
class StatusLegend : public QWidget {
    Q_OBJECT

public:
    struct Item {
        QString text;
        QColor colour;
    };

    StatusLegend(const QList<Item>& items, QWidget* parent = nullptr);
};

}  // namespace tovan
