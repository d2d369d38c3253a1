#include "ui/picture/FullScreenView.h"

#include "album/Album.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>

FullScreenView::FullScreenView(album::Album& album, picture::PictureService& pictures, QWidget& window, QMenu* menu,
                               const QList<QWidget*>& preview)
    : PhotoCanvas(album, pictures, &window), window_(window),
      action_(new QAction(QStringLiteral("&Fotka na celou obrazovku"), &window)), caption_(new QLabel(this))
{
    setObjectName(QStringLiteral("FullScreenView"));
    setWindowTitle(QStringLiteral("Albisko"));
    // Readable over any photo: light text on a half-dark strip of its own width.
    caption_->setStyleSheet(QStringLiteral("color: white; background: rgba(0, 0, 0, 140); padding: 2px 8px;"));
    layout_->addWidget(caption_, 0, Qt::AlignHCenter);

    action_->setObjectName(QStringLiteral("MenuFullScreen"));
    action_->setShortcut(QKeySequence(Qt::Key_F11));
    action_->setToolTip(QStringLiteral("Fotka na celou obrazovku (F11, zpět Esc)"));
    menu->addSeparator();
    menu->addAction(action_);
    connect(action_, &QAction::triggered, this, platform::endingAtItsEdge([this] { open(); }));
    for (QWidget* w : preview)
        w->installEventFilter(this);
    // As the other album commands: only with an album.
    action_->setEnabled(false);
    connect(&album_, &album::Album::openChanged, action_, &QAction::setEnabled);
    // Every step of the album shows here, whoever took it (this view's keys, the main window's
    // commands): never a photo left behind for the decoder to keep.
    connect(&album_, &album::Album::rowShown, this, [this] {
        if (isVisible())
            showRow();
    });
}

QString FullScreenView::caption() const
{
    return caption_->text();
}

void FullScreenView::open()
{
    if (!album_.state().AlbumOpen) {
        platform::dialogs().beep();
        return;
    }
    if (QScreen* screen = window_.screen())
        setGeometry(screen->geometry());
    showFullScreen();
    raise();
    activateWindow();
    showRow();
}

void FullScreenView::leave()
{
    showNothing();
    hide();
    window_.activateWindow();
    window_.raise();
}

QSize FullScreenView::pictureArea() const
{
    const QScreen* screen = window_.screen();
    if (!screen)
        return size();
    return screen->geometry().size() * screen->devicePixelRatio();
}

void FullScreenView::step(bool canMove, Move move)
{
    if (!canMove) {
        platform::dialogs().beep();
        return;
    }
    // The album's own step, as the main window's button takes it; its error is reported, and the
    // view still shows where the step went.
    try {
        switch (move) {
        case Move::First: album_.first(); break;
        case Move::Previous: album_.previous(); break;
        case Move::Next: album_.next(); break;
        case Move::Last: album_.last(); break;
        }
    } catch (const std::exception& e) {
        platform::reportError(e);
    }
}

void FullScreenView::showRow()
{
    const int row = album_.state().CurrentRow;
    caption_->setText(QStringLiteral("%1 / %2   %3")
                          .arg(row + 1)
                          .arg(album_.table().RowCount())
                          .arg(album_.table().Get(album::Field::FileName, row)));
    showCurrentRow();
}

bool FullScreenView::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        platform::endingAtItsEdge([this] { open(); })();
        return true;
    }
    return false;
}

void FullScreenView::keyPressEvent(QKeyEvent* event)
{
    const int row = album_.state().CurrentRow;
    const bool back = album_.state().AlbumOpen && row > 0;
    const bool on = album_.state().AlbumOpen && row + 1 < album_.table().RowCount();
    platform::endingAtItsEdge([&] {
        switch (event->key()) {
        case Qt::Key_PageDown:
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_Space:
            step(on, Move::Next);
            break;
        case Qt::Key_PageUp:
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Backspace:
            step(back, Move::Previous);
            break;
        case Qt::Key_Home:
            step(back, Move::First);
            break;
        case Qt::Key_End:
            step(on, Move::Last);
            break;
        case Qt::Key_Escape:
        case Qt::Key_F11:
            leave();
            break;
        default:
            QWidget::keyPressEvent(event);
        }
    })();
}

void FullScreenView::wheelEvent(QWheelEvent* event)
{
    // One step a notch (120, as a wheel turns); a touchpad's small turns add up to one.
    wheelTurned_ += event->angleDelta().y();
    platform::endingAtItsEdge([&] {
        const auto& state = album_.state();
        for (; wheelTurned_ <= -120; wheelTurned_ += 120)
            step(state.AlbumOpen && state.CurrentRow + 1 < album_.table().RowCount(), Move::Next);
        for (; wheelTurned_ >= 120; wheelTurned_ -= 120)
            step(state.AlbumOpen && state.CurrentRow > 0, Move::Previous);
    })();
    event->accept();
}

void FullScreenView::mouseDoubleClickEvent(QMouseEvent*)
{
    leave();
}

void FullScreenView::closeEvent(QCloseEvent* event)
{
    // Closed by the desktop (Alt+F4): the same as Escape; the view stays for the next time.
    event->ignore();
    leave();
}
