#include "app/widgets/TextSize.h"

#include <QFontMetrics>
#include <QWidget>

namespace tovan {

QSize text_size(const QWidget& widget, int columns, int lines) {
    const QFontMetrics metrics = widget.fontMetrics();
    return {metrics.averageCharWidth() * columns, metrics.lineSpacing() * lines};
}

}  // namespace tovan
