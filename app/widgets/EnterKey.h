#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace tovan {

// Gives Enter in a field an action of its own instead of the dialog's default
// button: pressed() runs, and where it returns false the key goes on to the
// dialog after all. Lives as long as the field.
class EnterKey : public QObject {
    Q_OBJECT

public:
    EnterKey(QWidget* field, std::function<bool()> pressed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> pressed_;
};

}  // namespace tovan
