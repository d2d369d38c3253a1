#include "ui/picture/FullScreenView.h"

#include "album/Album.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Input.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>

FullScreenView::FullScreenView(album::Album& album, QWidget& window, QMenu* menu, const QList<QWidget*>& preview)
    : QWidget(&window, Qt::Window), album_(album), window_(window),
      action_(new QAction(QStringLiteral("&Fotka na celou obrazovku"), &window)), message_(new QLabel(this)),
      caption_(new QLabel(this)),
      prefetch_([this](int width, int height) { return ui::fitInto(width, height, area_); })
{
    setObjectName(QStringLiteral("FullScreenView"));
    setWindowTitle(QStringLiteral("Albisko"));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::white);
    setPalette(black);
    setAutoFillBackground(true);
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    // Readable over any photo: light text on a half-dark strip of its own width.
    caption_->setStyleSheet(QStringLiteral("color: white; background: rgba(0, 0, 0, 140); padding: 2px 8px;"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_, 1);
    layout->addWidget(caption_, 0, Qt::AlignHCenter);

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

    pendingTimer_.setInterval(5);
    connect(&pendingTimer_, &QTimer::timeout, this, platform::endingAtItsEdge([this] { showPendingPhoto(); }));
}

QString FullScreenView::message() const
{
    return message_->text();
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
    if (pictureArea() != area_) {
        area_ = pictureArea();
        prefetch_.forget();  // pictures of another size
    }
    showFullScreen();
    raise();
    activateWindow();
    showCurrentRow();
}

void FullScreenView::leave()
{
    pendingTimer_.stop();
    pendingPhoto_.clear();
    prefetch_.prefetch({});
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

void FullScreenView::step(bool canMove, void (album::Album::*move)())
{
    if (!canMove) {
        platform::dialogs().beep();
        return;
    }
    // The album's own step, as the main window's button takes it; its error is reported, and the
    // view still shows where the step went.
    try {
        (album_.*move)();
    } catch (const std::exception& e) {
        platform::reportError(e);
    }
    if (isVisible())
        showCurrentRow();
}

void FullScreenView::showCurrentRow()
{
    const int row = album_.state().CurrentRow;
    const QString path = album_.photoPath(row);
    caption_->setText(QStringLiteral("%1 / %2   %3")
                          .arg(row + 1)
                          .arg(album_.table().RowCount())
                          .arg(album_.table().Get(album::Field::FileName, row)));
    pendingPhoto_.clear();
    std::optional<ui::PreviewPicture> ready = prefetch_.takeIfReady(path);
    if (!ready && platform::inputWaiting()) {
        // The user is ahead: this photo is likely passed over. Nothing is shown meanwhile, never
        // a photo other than the one named at the bottom.
        showPicture(-1, QImage(), QString());
        pendingPhoto_ = path;
        prefetch_.prefetch({path});
        pendingTimer_.start();
        return;
    }
    if (!ready)
        ready = prefetch_.take(path);  // waits for a decoding under way

    QStringList neighbours;
    for (int r : {row + 1, row - 1})
        if (r >= 0 && r < album_.table().RowCount())
            neighbours << album_.photoPath(r);
    if (ready) {
        prefetch_.prefetch(neighbours);
        showPicture(row, ready->image, QString());
        return;
    }
    try {
        const auto stamp = ui::PreviewPrefetch::stampOf(path);  // before reading: a change meanwhile shows
        const ui::PreviewPicture picture = ui::loadPicture(path, [this](int width, int height) {
            return ui::fitInto(width, height, area_);
        });
        prefetch_.remember(path, stamp, picture);
        showPicture(row, picture.image, QString());
    } catch (const std::exception& e) {
        // The view's own words; the error itself as the error box names it.
        showPicture(row, QImage(), QStringLiteral("Fotku nelze zobrazit (%1)").arg(platform::messageOf(e)));
    }
    prefetch_.prefetch(neighbours);
}

void FullScreenView::showPendingPhoto()
{
    if (pendingPhoto_.isEmpty() || !isVisible()) {
        pendingTimer_.stop();
        return;
    }
    if (platform::inputWaiting() || prefetch_.isUnderWay(pendingPhoto_))
        return;  // still passing photos, or still decoding: look again shortly
    pendingTimer_.stop();
    if (std::exchange(pendingPhoto_, QString()) == album_.photoPath(album_.state().CurrentRow))
        showCurrentRow();
}

void FullScreenView::showPicture(int row, const QImage& picture, const QString& message)
{
    shownRow_ = row;
    picture_ = picture;
    if (const QScreen* screen = window_.screen())
        picture_.setDevicePixelRatio(screen->devicePixelRatio());
    message_->setText(message);
    update();
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
    using album::Album;
    const int row = album_.state().CurrentRow;
    const bool back = album_.state().AlbumOpen && row > 0;
    const bool on = album_.state().AlbumOpen && row + 1 < album_.table().RowCount();
    platform::endingAtItsEdge([&] {
        switch (event->key()) {
        case Qt::Key_PageDown:
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_Space:
            step(on, &Album::next);
            break;
        case Qt::Key_PageUp:
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Backspace:
            step(back, &Album::previous);
            break;
        case Qt::Key_Home:
            step(back, &Album::first);
            break;
        case Qt::Key_End:
            step(on, &Album::last);
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
            step(state.AlbumOpen && state.CurrentRow + 1 < album_.table().RowCount(), &album::Album::next);
        for (; wheelTurned_ >= 120; wheelTurned_ -= 120)
            step(state.AlbumOpen && state.CurrentRow > 0, &album::Album::previous);
    })();
    event->accept();
}

void FullScreenView::mouseDoubleClickEvent(QMouseEvent*)
{
    leave();
}

void FullScreenView::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    const QSize shown = picture_.deviceIndependentSize().toSize();
    painter.drawImage(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), picture_);
}

void FullScreenView::closeEvent(QCloseEvent* event)
{
    // Closed by the desktop (Alt+F4): the same as Escape; the view stays for the next time.
    event->ignore();
    leave();
}
