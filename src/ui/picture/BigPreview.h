#pragma once

#include "ui/picture/PhotoCanvas.h"

#include <QTimer>

class QAction;
class QMenu;
namespace album { class Album; struct WorkingState; }

// "Velký náhled" (F10, in the "Zobrazit" menu): the current photo in a window of its own, as large
// as the window is, following every step of the main window while the typing goes on there
// (beside it, or on a second screen). It fits, turns and reports a photo as the full-screen view
// does. Its place is kept in the working state (and so in the settings file) once it was shown.
// F10 again, Escape or closing the window hides it.
class BigPreview : public ui::PhotoCanvas {
public:
    BigPreview(album::Album& album, picture::PictureService& pictures, QWidget& window, QMenu* menu);

    QAction* action() const { return action_; }
    // Shows the window where it was last (or beside the main window the first time); hides it.
    void open();
    void leave();

protected:
    QSize pictureArea() const override;  // the window's inside, in device pixels
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void follow();
    void rememberPlace();

    QWidget& window_;
    QAction* action_;
    QTimer resized_;  // the picture of the new size is asked for once the resizing rests
};
