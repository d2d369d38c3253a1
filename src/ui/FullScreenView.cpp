#include "ui/FullScreenView.h"

#include "album/PhotoTable.h"
#include "album/WorkingState.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Input.h"
#include "ui/EditCommands.h"
#include "ui/TForm1.h"
#include "ui_TForm1.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>

FullScreenView::FullScreenView(TForm1& window)
    : QWidget(&window, Qt::Window), window_(window),
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
    window.editCommands().menu()->addSeparator();
    window.editCommands().menu()->addAction(action_);
    connect(action_, &QAction::triggered, this, platform::endingAtItsEdge([this] { open(); }));
    window.ui().Image1->installEventFilter(this);
    window.ui().Panel1->installEventFilter(this);

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
    if (!window_.state().AlbumOpen) {
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

void FullScreenView::step(QAbstractButton* button)
{
    if (!button->isEnabled()) {
        platform::dialogs().beep();
        return;
    }
    button->click();  // the main window's own step, its error reported by its own handler
    if (isVisible())
        showCurrentRow();
}

void FullScreenView::showCurrentRow()
{
    const int row = window_.state().CurrentRow;
    const QString path = window_.photoPath(row);
    caption_->setText(QStringLiteral("%1 / %2   %3")
                          .arg(row + 1)
                          .arg(window_.table().RowCount())
                          .arg(window_.table().Get(album::Field::FileName, row)));
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
        if (r >= 0 && r < window_.table().RowCount())
            neighbours << window_.photoPath(r);
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
    if (std::exchange(pendingPhoto_, QString()) == window_.photoPath(window_.state().CurrentRow))
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
    auto& u = window_.ui();
    platform::endingAtItsEdge([&] {
        switch (event->key()) {
        case Qt::Key_PageDown:
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_Space:
            step(u.BitBtnNext);
            break;
        case Qt::Key_PageUp:
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Backspace:
            step(u.BitBtnPrevious);
            break;
        case Qt::Key_Home:
            step(u.BitBtnFirst);
            break;
        case Qt::Key_End:
            step(u.BitBtnLast);
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
        for (; wheelTurned_ <= -120; wheelTurned_ += 120)
            step(window_.ui().BitBtnNext);
        for (; wheelTurned_ >= 120; wheelTurned_ -= 120)
            step(window_.ui().BitBtnPrevious);
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
