#include "ui/picture/PreviewPanel.h"

#include "platform/Dialogs.h"
#include "platform/Input.h"

#include <QLabel>
#include <QPixmap>

namespace ui {

namespace {

QString hint(const QString& path, int width, int height)
{
    return QStringLiteral("%1 (%2 x %3)").arg(path).arg(width).arg(height);
}

}  // namespace

PreviewPanel::PreviewPanel(const album::Album& album, QLabel* panel, QLabel* image)
    : QObject(panel), album_(album), panel_(panel), image_(image)
{
    pendingPhotoTimer_.setInterval(5);
    connect(&pendingPhotoTimer_, &QTimer::timeout, this, platform::endingAtItsEdge([this] { showPendingPhoto(); }));
}

void PreviewPanel::ShowPhoto(int row)
{
    image_->hide();
    const QString path = album_.photoPath(row);
    pendingPhoto_.clear();
    std::optional<PreviewPicture> ready = prefetch_.takeIfReady(path);
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
        if (r >= 0 && r < album_.table().RowCount())
            neighbours << album_.photoPath(r);
    prefetch_.prefetch(neighbours);

    PreviewPicture picture;
    std::optional<PreviewPrefetch::Stamp> stamp;
    std::optional<PhotoFile> photo;
    if (ready) {
        picture = std::move(*ready);
    } else {
        stamp = PreviewPrefetch::stampOf(path);  // before reading: a change meanwhile shows
        photo = readPhotoFile(path);
        picture.width = photo->width();
        picture.height = photo->height();
    }
    // The hint names the photo's size also when no panel can be made of it (0 x 0).
    image_->setToolTip(hint(path, picture.width, picture.height));
    const QSize panel = previewPanelSize(picture.width, picture.height);
    if (photo) {
        picture.image = decodePreview(*photo, panel);
        prefetch_.remember(path, *stamp, picture);
    }
    panel_->resize(panel);  // keeps its top-left corner
    image_->setGeometry(QRect(QPoint(0, 0), panel));
    image_->setPixmap(QPixmap::fromImage(picture.image));
    image_->show();
}

void PreviewPanel::showPendingPhoto()
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
    const int row = album_.state().CurrentRow;
    if (album_.state().AlbumOpen && path == album_.photoPath(row))
        ShowPhoto(row);
}

}  // namespace ui
