#pragma once

#include <QLabel>

namespace tovan {

// Says under a field why its input cannot be used yet. Hidden while there is
// nothing to say; a longer text wraps, and the window grows to show it whole.
class ProblemLabel : public QLabel {
    Q_OBJECT

public:
    explicit ProblemLabel(QWidget* parent = nullptr);

    // An empty problem hides the label.
    void set_problem(const QString& problem);
};

}  // namespace tovan
