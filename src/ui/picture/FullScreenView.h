#pragma once

#include "ui/picture/PhotoCanvas.h"

class QAction;
class QMenu;
namespace album { class Album; }

// The current photo on the whole screen: "Fotka na celou obrazovku" (F11, in the "Úpravy" menu)
// or a double click on the preview. The photo is decoded as the preview decodes it (the same
// orientation and error messages), at the size that fits the screen, and its neighbours are
// decoded ahead at that size.
// - PgDn, Right, Down, Space and the wheel turned down move to the next photo, PgUp, Left, Up,
//   Backspace and the wheel turned up to the previous one, Home and End to the first and the
//   last, each exactly as the main window's navigation buttons move (its fields, counter and
//   preview follow); where that button would be disabled the key only beeps.
// - Escape, F11, a double click or closing the view return to the main window, which shows the
//   caption fields of the photo last shown.
// A photo that cannot be shown leaves a message on the screen, "Fotku nelze zobrazit (JPEG error
// #53)" (the main window's step has already reported the error in the error box). Every step shows
// at once what is at hand (the EXIF thumbnail) and the decoded photo when it is ready; a step that
// comes before that stops the decoding it no longer needs.
class FullScreenView : public ui::PhotoCanvas {
public:
    // Shown over `window` (on its screen); its action goes into `menu`, and a double click on any
    // of `preview` opens it.
    FullScreenView(album::Album& album, picture::PictureService& pictures, QWidget& window, QMenu* menu,
                   const QList<QWidget*>& preview);

    QAction* action() const { return action_; }
    // Shows the current photo on the screen the main window is on; only beeps without an album.
    void open();
    // Back to the main window.
    void leave();
    // The line at the bottom ("3 / 120   IMG_0003.jpg").
    QString caption() const;

protected:
    QSize pictureArea() const override;  // the screen's, in device pixels
    bool eventFilter(QObject* watched, QEvent* event) override;  // a double click on the preview
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // One step of the album's navigation, where it can move at all.
    enum class Move { First, Previous, Next, Last };
    void step(bool canMove, Move move);
    void showRow();

    QWidget& window_;
    QAction* action_;
    QLabel* caption_;
    int wheelTurned_ = 0;  // the wheel's turn not yet taken as a step
};
