#pragma once

#include "ui/picture/PhotoSlot.h"

#include <QImage>
#include <QWidget>

class QLabel;
class QVBoxLayout;
namespace album { class Album; }

namespace ui {

// A window that shows the album's current photo as large as it fits, on black: the full-screen
// view and the big preview. The picture comes from the picture service at the size of
// pictureArea(); a photo that cannot be shown leaves its error on the window, "Fotku nelze
// zobrazit (JPEG error #53)" (the main window's step reports it in the error box).
class PhotoCanvas : public QWidget {
public:
    PhotoCanvas(album::Album& album, picture::PictureService& pictures, QWidget* parent);

    // What the window shows, for tests: the row whose picture or message is on it (-1 for none),
    // the picture (null where the photo failed or nothing is at hand yet), the error message.
    int shownRow() const { return shownRow_; }
    const QImage& picture() const { return picture_; }
    QString message() const;
    const PhotoSlot& slot() const { return slot_; }

protected:
    // The size pictures are wanted at, in device pixels.
    virtual QSize pictureArea() const = 0;
    // Shows the album's current photo; its neighbours are decoded after it.
    void showCurrentRow();
    // Shows nothing and asks for nothing.
    void showNothing();
    void paintEvent(QPaintEvent* event) override;

    album::Album& album_;
    QLabel* message_;
    QVBoxLayout* layout_;

private:
    void showPicture(int row, const QImage& picture, const QString& message);

    PhotoSlot slot_;
    QImage picture_;
    int shownRow_ = -1;
};

}  // namespace ui
