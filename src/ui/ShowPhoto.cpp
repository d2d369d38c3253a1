// The preview of the photo shown: ShowPhoto, with the pictures decoded ahead, and the photos
// passed over when the user moves on faster than photos decode.
#include "platform/Input.h"
#include "ui/TForm1.h"
#include "ui_TForm1.h"

namespace {

QString hint(const QString& path, int width, int height)
{
    return QStringLiteral("%1 (%2 x %3)").arg(path).arg(width).arg(height);
}

}  // namespace

void TForm1::ShowPhoto(int row)
{
    auto& u = *ui_;
    u.Image1->hide();
    const QString path = photoPath(row);
    pendingPhoto_.clear();
    std::optional<ui::PreviewPicture> ready = prefetch_.takeIfReady(path);
    if (!ready && platform::inputWaiting()) {
        // The user is ahead: more steps wait to be handled, and this photo is likely passed
        // over. It is decoded ahead, alone, and shown once the input has been handled, unless
        // another photo is shown by then; meanwhile the preview shows nothing, never a photo
        // the counter does not name.
        pendingPhoto_ = path;
        prefetch_.prefetch({path});
        pendingPhotoTimer_.start();
        return;
    }
    if (!ready)
        ready = prefetch_.take(path);  // waits for a decoding under way

    QStringList neighbours;
    for (int r : {row + 1, row - 1})
        if (r >= 0 && r < StringGrid1.RowCount())
            neighbours << photoPath(r);
    prefetch_.prefetch(neighbours);

    ui::PreviewPicture picture;
    std::optional<ui::PreviewPrefetch::Stamp> stamp;
    std::optional<ui::PhotoFile> photo;
    if (ready) {
        picture = std::move(*ready);
    } else {
        stamp = ui::PreviewPrefetch::stampOf(path);  // before reading: a change meanwhile shows
        photo = ui::readPhotoFile(path);
        picture.width = photo->width();
        picture.height = photo->height();
    }
    // The hint names the photo's size also when no panel can be made of it (0 x 0).
    u.Image1->setToolTip(hint(path, picture.width, picture.height));
    const QSize panel = ui::previewPanelSize(picture.width, picture.height);
    if (photo) {
        picture.image = ui::decodePreview(*photo, panel);
        prefetch_.remember(path, *stamp, picture);
    }
    u.Panel1->resize(panel);  // keeps its top-left corner
    u.Image1->setGeometry(QRect(QPoint(0, 0), panel));
    u.Image1->setPixmap(QPixmap::fromImage(picture.image));
    u.Image1->show();
}

void TForm1::showPendingPhoto()
{
    if (pendingPhoto_.isEmpty()) {
        pendingPhotoTimer_.stop();
        return;
    }
    if (platform::inputWaiting() || prefetch_.isUnderWay(pendingPhoto_))
        return;  // still passing photos, or still decoding: look again shortly
    pendingPhotoTimer_.stop();
    const QString path = std::exchange(pendingPhoto_, QString());
    // The user has stopped here: the photo is shown, and its error, if any, is reported now.
    if (state_.AlbumOpen && path == photoPath(state_.CurrentRow))
        ShowPhoto(state_.CurrentRow);
}
