#pragma once

#include "album/Album.h"
#include "ui/picture/PhotoSlot.h"

#include <QObject>

class QLabel;

namespace ui {

// The main window's preview of the current photo (`panel`, the picture in `image`): ShowPhoto
// sizes the panel and sets the hint from the photo's header at once, shows what is at hand (the
// picture decoded ahead, else the EXIF thumbnail, else the empty panel) and the decoded picture
// as soon as the picture service has it; the neighbours are decoded after it.
class PreviewPanel : public QObject, public album::AlbumView {
public:
    PreviewPanel(const album::Album& album, picture::PictureService& pictures, QLabel* panel, QLabel* image);

    // Shows the photo of `row`, fitted into the panel; raises the error of its header. An error in
    // decoding the rest of the photo is reported when the decoding ends.
    void ShowPhoto(int row) override;
    const PhotoSlot& slot() const { return slot_; }

private:
    void showImage();
    void reportFailure(const QString& message);

    const album::Album& album_;
    QLabel* panel_;
    QLabel* image_;
    PhotoSlot slot_;
};

}  // namespace ui
