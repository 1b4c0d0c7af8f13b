#include "app/widgets/ProblemLabel.h"

#include <QLayout>

#include "app/widgets/Sentence.h"

namespace tovan {

ProblemLabel::ProblemLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    setVisible(false);
}

void ProblemLabel::set_problem(const QString& problem) {
    const QString text = as_sentence(problem);
    setText(text);
    setVisible(!text.isEmpty());
    // A wrapped text needs more height than the layout's minimum tells.
    QWidget* window = this->window();
    QLayout* layout = window->layout();
    if (layout == nullptr || !window->isVisible())
        return;
    layout->activate();
    const int needed = layout->hasHeightForWidth() ? layout->totalHeightForWidth(window->width())
                                                   : layout->totalMinimumSize().height();
    if (needed > window->height())
        window->resize(window->width(), needed);
}

}  // namespace tovan
