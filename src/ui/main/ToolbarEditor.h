#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;
class QToolBar;

// Lets the user rearrange the buttons of `toolbar` for the rest of the run: the toolbar's context
// menu gets "Upravit panel nástrojů...", which opens a ToolbarEditor. The arrangement is not
// stored. The toolbar's buttons keep the size they had.
void makeToolbarEditable(QToolBar* toolbar);

// A small window listing the toolbar's buttons (and separators) in order, with "Nahoru" and
// "Dolů" to move the one selected; OK rearranges the toolbar so.
class ToolbarEditor : public QDialog {
    Q_OBJECT

public:
    explicit ToolbarEditor(QToolBar* toolbar);

    QListWidget* list() const { return list_; }
    QPushButton* upButton() const { return up_; }
    QPushButton* downButton() const { return down_; }
    // Puts the toolbar's buttons into the order of the list.
    void apply();

private:
    void move(int by);
    void updateButtons();

    QToolBar* toolbar_;
    QListWidget* list_;
    QPushButton* up_;
    QPushButton* down_;
};
