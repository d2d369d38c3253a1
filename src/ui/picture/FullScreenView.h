#pragma once

#include "ui/picture/PreviewPrefetch.h"

#include <functional>

#include <QImage>
#include <QTimer>
#include <QWidget>

class QAction;
class QLabel;
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
// #53)" (the main window's step has already reported the error in the error box). Steps that come faster than photos decode are
// coalesced as in the main window: only the photo where the user stops is decoded.
class FullScreenView : public QWidget {
public:
    // Shown over `window` (on its screen); its action goes into `menu`, and a double click on any
    // of `preview` opens it.
    FullScreenView(album::Album& album, QWidget& window, QMenu* menu, const QList<QWidget*>& preview);

    QAction* action() const { return action_; }
    // Shows the current photo on the screen the main window is on; only beeps without an album.
    void open();
    // Back to the main window.
    void leave();

    // What the view shows, for tests: the row whose picture or message is on the screen (-1
    // while a photo passed over waits to be decoded), the picture (null where the photo
    // failed), the error message and the line at the bottom ("3 / 120  IMG_0003.jpg").
    int shownRow() const { return shownRow_; }
    const QImage& picture() const { return picture_; }
    QString message() const;
    QString caption() const;
    ui::PreviewPrefetch& prefetch() { return prefetch_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;  // a double click on the preview
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The size pictures are decoded at: the screen's, in device pixels.
    QSize pictureArea() const;
    // One step of the album's navigation, where it can move at all.
    void step(bool canMove, void (album::Album::*move)());
    void showCurrentRow();
    void showPendingPhoto();
    void showPicture(int row, const QImage& picture, const QString& message);

    album::Album& album_;
    QWidget& window_;
    QAction* action_;
    QLabel* message_;
    QLabel* caption_;
    QSize area_;              // the pictures kept by prefetch_ are of this size
    ui::PreviewPrefetch prefetch_;
    QImage picture_;
    int shownRow_ = -1;
    QString pendingPhoto_;    // passed over while the user was ahead; shown once the input ends
    QTimer pendingTimer_;
    int wheelTurned_ = 0;     // the wheel's turn not yet taken as a step
};
