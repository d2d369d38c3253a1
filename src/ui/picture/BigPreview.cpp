#include "ui/picture/BigPreview.h"

#include "album/Album.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "settings/Settings.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>

namespace {

// The first time: beside the main window where the screen has room, else over its right half.
constexpr QSize kFirstSize(800, 600);

}  // namespace

BigPreview::BigPreview(album::Album& album, picture::PictureService& pictures, QWidget& window, QMenu* menu)
    : PhotoCanvas(album, pictures, &window), window_(window),
      action_(new QAction(QStringLiteral("&Velký náhled"), &window))
{
    setObjectName(QStringLiteral("BigPreview"));
    setWindowTitle(QStringLiteral("Velký náhled"));
    action_->setObjectName(QStringLiteral("MenuBigPreview"));
    action_->setShortcut(QKeySequence(Qt::Key_F10));
    action_->setCheckable(true);
    action_->setToolTip(QStringLiteral("Fotka ve vlastním okně, které sleduje hlavní okno (F10)"));
    menu->addAction(action_);
    addAction(action_);  // F10 in this window too
    connect(action_, &QAction::triggered, this, platform::endingAtItsEdge([this] { action_->isChecked() ? open() : leave(); }));

    connect(&album_, &album::Album::rowShown, this, [this] { follow(); });
    connect(&album_, &album::Album::openChanged, this, [this] { follow(); });
    resized_.setSingleShot(true);
    resized_.setInterval(120);
    connect(&resized_, &QTimer::timeout, this, [this] { follow(); });
}

void BigPreview::open()
{
    if (!isVisible()) {
        const QRect place = album_.state().BigPreviewPlace;
        const QScreen* screen = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
        QList<QRect> areas;
        for (const QScreen* s : QGuiApplication::screens())
            areas << s->availableGeometry();
        if (place.isValid()) {
            const QRect safe = settings::safePlacement(place, 24, areas, screen->availableGeometry());
            move(safe.topLeft());
            resize(safe.size());
        } else {
            const QRect main = window_.frameGeometry();
            const QRect area = screen->availableGeometry();
            const QSize size = kFirstSize.boundedTo(area.size());
            const int right = main.right() + 1;
            move(right + size.width() <= area.right() + 1 ? right : std::max(area.left(), area.right() + 1 - size.width()),
                 std::clamp(main.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
            resize(size);
        }
        show();
    }
    raise();
    action_->setChecked(true);
    rememberPlace();
    follow();
}

void BigPreview::leave()
{
    rememberPlace();
    showNothing();
    hide();
    action_->setChecked(false);
    window_.activateWindow();
}

QSize BigPreview::pictureArea() const
{
    return size() * devicePixelRatioF();
}

void BigPreview::follow()
{
    if (isVisible())
        showCurrentRow();
}

void BigPreview::rememberPlace()
{
    if (isVisible() && !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        album_.state().BigPreviewPlace = QRect(frameGeometry().topLeft(), size());
}

void BigPreview::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        leave();
    else
        PhotoCanvas::keyPressEvent(event);
}

void BigPreview::resizeEvent(QResizeEvent* event)
{
    PhotoCanvas::resizeEvent(event);
    rememberPlace();
    if (isVisible())
        resized_.start();
}

void BigPreview::moveEvent(QMoveEvent* event)
{
    PhotoCanvas::moveEvent(event);
    rememberPlace();
}

void BigPreview::closeEvent(QCloseEvent* event)
{
    // Closed by the desktop: hidden, ready for the next F10.
    event->ignore();
    leave();
}
