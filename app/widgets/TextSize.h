#pragma once

#include <QSize>

class QWidget;

namespace tovan {

// A size in characters and lines of the widget's font, so that a dialog laid
// out for it still fits when the desktop's fonts are larger.
QSize text_size(const QWidget& widget, int columns, int lines);

}  // namespace tovan
