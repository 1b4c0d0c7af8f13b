#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tovan {

// An ordered list of masks to edit: a mask typed above goes in at the top (the
// first tried), selected masks are removed or moved up and down as a block that
// moves only where it has room. Enter in the mask field adds the mask; with the
// field empty it is left to the dialog.
class MaskListEditor : public QWidget {
    Q_OBJECT

public:
    explicit MaskListEditor(QWidget* parent = nullptr);

    void set_masks(const QStringList& masks);
    QStringList masks() const;

private:
    void add();
    void remove_selected();
    // step -1 moves the selection up, +1 down.
    void move_selected(int step);
    void update_buttons();

    QLineEdit* mask_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
};

}  // namespace tovan
