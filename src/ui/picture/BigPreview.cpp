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

// The first time: in the largest room the screen has beside the main window (right, left, below
// or above it), at most this large; where no room is large enough, at the screen's right edge.
constexpr QSize kFirstSize(800, 600);
constexpr QSize kLeastRoom(320, 240);

QRect firstPlace(const QRect& main, const QRect& area)
{
    const QRect rooms[] = {
        QRect(QPoint(main.right() + 1, area.top()), area.bottomRight()),
        QRect(area.topLeft(), QPoint(main.left() - 1, area.bottom())),
        QRect(QPoint(area.left(), main.bottom() + 1), area.bottomRight()),
        QRect(area.topLeft(), QPoint(area.right(), main.top() - 1)),
    };
    QRect best;
    for (const QRect& room : rooms)
        if (room.width() >= kLeastRoom.width() && room.height() >= kLeastRoom.height()
            && qint64(room.width()) * room.height() > qint64(best.width()) * best.height())
            best = room;
    if (best.isEmpty()) {
        const QSize size = kFirstSize.boundedTo(area.size());
        return QRect(QPoint(area.right() + 1 - size.width(), area.top()), size);
    }
    const QSize size = kFirstSize.boundedTo(best.size());
    return QRect(best.topLeft(), size);
}

}  // namespace

BigPreview::BigPreview(album::Album& album, picture::PictureService& pictures, QWidget& window, QMenu* menu)
    : PhotoCanvas(album, pictures, &window), window_(window),
      action_(new QAction(QStringLiteral("&Velký náhled"), &window))
{
    setObjectName(QStringLiteral("BigPreview"));
    setWindowTitle(QStringLiteral("Velký náhled"));
    // Typing goes on in the main window: showing this one does not take the keyboard from it.
    setAttribute(Qt::WA_ShowWithoutActivating);
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
            const QRect first = firstPlace(window_.frameGeometry(), screen->availableGeometry());
            move(first.topLeft());
            resize(first.size());
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
