#include "ui/picture/PreviewPanel.h"

#include "platform/Dialogs.h"
#include "platform/Errors.h"

#include <QLabel>
#include <QPixmap>

namespace ui {

namespace {

QString hint(const QString& path, int width, int height)
{
    return QStringLiteral("%1 (%2 x %3)").arg(path).arg(width).arg(height);
}

}  // namespace

PreviewPanel::PreviewPanel(const album::Album& album, picture::PictureService& pictures, QLabel* panel, QLabel* image)
    : QObject(panel), album_(album), panel_(panel), image_(image), slot_(pictures, this)
{
    connect(&slot_, &PhotoSlot::changed, this, &PreviewPanel::showImage);
    connect(&slot_, &PhotoSlot::failed, this, &PreviewPanel::reportFailure);
    // A closed album shows no photo: nothing decoded for it may appear afterwards.
    connect(&album, &album::Album::openChanged, this, [this](bool open) {
        if (!open)
            slot_.clear();
    });
}

void PreviewPanel::ShowPhoto(int row)
{
    image_->hide();
    const QString path = album_.photoPath(row);
    QStringList ahead;
    for (int r : {row + 1, row - 1})
        if (r >= 0 && r < album_.table().RowCount())
            ahead << album_.photoPath(r);
    try {
        slot_.show(path, picture::previewPanelSize, ahead);
    } catch (...) {
        // The hint names the photo's size also when no panel can be made of it (0 x 0).
        if (slot_.width() >= 0)
            image_->setToolTip(hint(path, slot_.width(), slot_.height()));
        throw;
    }
    image_->setToolTip(hint(path, slot_.width(), slot_.height()));
    panel_->resize(slot_.size());  // keeps its top-left corner
    image_->setGeometry(QRect(QPoint(0, 0), slot_.size()));
    // Without anything at hand the panel stays empty at the photo's size: never another photo.
    if (!slot_.image().isNull())
        showImage();
}

void PreviewPanel::showImage()
{
    image_->setPixmap(QPixmap::fromImage(slot_.image()));
    image_->show();
}

void PreviewPanel::reportFailure(const QString& message)
{
    image_->hide();
    platform::reportError(platform::Error(message));
}

}  // namespace ui
