#include "ui/picture/PhotoCanvas.h"

#include "album/Album.h"
#include "platform/Errors.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace ui {

PhotoCanvas::PhotoCanvas(album::Album& album, picture::PictureService& pictures, QWidget* parent)
    : QWidget(parent, Qt::Window), album_(album), message_(new QLabel(this)), layout_(new QVBoxLayout(this)),
      slot_(pictures, this)
{
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::white);
    setPalette(black);
    setAutoFillBackground(true);
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    layout_->addWidget(message_, 1);
    connect(&slot_, &PhotoSlot::changed, this, [this] { showPicture(shownRow_, slot_.image(), QString()); });
    connect(&slot_, &PhotoSlot::failed, this, [this](const QString& message) {
        showPicture(shownRow_, QImage(), QStringLiteral("Fotku nelze zobrazit (%1)").arg(message));
    });
}

QString PhotoCanvas::message() const
{
    return message_->text();
}

void PhotoCanvas::showCurrentRow()
{
    if (!album_.state().AlbumOpen)
        return showNothing();
    const int row = album_.state().CurrentRow;
    QStringList ahead;
    for (int r : {row + 1, row - 1})
        if (r >= 0 && r < album_.table().RowCount())
            ahead << album_.photoPath(r);
    try {
        slot_.show(album_.photoPath(row), [area = pictureArea()](int width, int height) {
            return picture::fitInto(width, height, area);
        }, ahead);
        showPicture(row, slot_.image(), QString());
    } catch (const std::exception& e) {
        // The view's own words; the error itself as the error box names it.
        showPicture(row, QImage(), QStringLiteral("Fotku nelze zobrazit (%1)").arg(platform::messageOf(e)));
    }
}

void PhotoCanvas::showNothing()
{
    slot_.clear();
    showPicture(-1, QImage(), QString());
}

void PhotoCanvas::showPicture(int row, const QImage& picture, const QString& message)
{
    shownRow_ = row;
    picture_ = picture;
    picture_.setDevicePixelRatio(devicePixelRatioF());
    message_->setText(message);
    update();
}

void PhotoCanvas::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    // Drawn as decoded where it fits the window (the full screen); a window resized since, or a
    // thumbnail, is scaled to fit until the picture of the window's size arrives.
    const QSize decoded = picture_.deviceIndependentSize().toSize();
    const QSize shown = picture::fitInto(decoded.width(), decoded.height(), size());
    if (shown != decoded)
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown), picture_);
}

}  // namespace ui
