#include "ui/overview/OverviewPlace.h"

#include "album/Album.h"
#include "ui/overview/AlbumOverview.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>

namespace {

// The controls end at x 720 (the preview) in a central widget 727 wide.
constexpr int kLeft = 728;
constexpr int kTop = 32;      // under the tool bar, level with the group boxes
constexpr int kMargin = 8;

}  // namespace

OverviewPlace::OverviewPlace(album::Album& album, picture::ThumbnailMaker& thumbnails, QMainWindow& window, QMenu* menu)
    : QObject(&window), album_(album), window_(window), central_(window.centralWidget()),
      overview_(new AlbumOverview(album, thumbnails, window.centralWidget())),
      action_(new QAction(QStringLiteral("&Přehled alba"), &window))
{
    overview_->hide();
    action_->setObjectName(QStringLiteral("MenuOverview"));
    action_->setCheckable(true);
    action_->setShortcut(QKeySequence(Qt::Key_F9));
    action_->setToolTip(QStringLiteral("Náhledy všech fotek alba s vyznačením, které už mají nadpis (F9)"));
    menu->addAction(action_);
    connect(action_, &QAction::triggered, this, &OverviewPlace::toggle);
    central_->installEventFilter(this);
    layOut();
}

bool OverviewPlace::wanted() const
{
    return album_.state().OverviewShown.value_or(true);
}

QRect OverviewPlace::placeIn(QSize central)
{
    return {kLeft, kTop, central.width() - kLeft - kMargin, central.height() - kTop - kMargin};
}

bool OverviewPlace::hasRoomIn(QSize central)
{
    const QRect place = placeIn(central);
    return place.width() >= AlbumOverview::widthFor(1) && place.height() >= AlbumOverview::TileHeight;
}

void OverviewPlace::layOut()
{
    const bool room = hasRoomIn(central_->size());
    if (room)
        overview_->setGeometry(placeIn(central_->size()));
    overview_->setVisible(room && wanted());
    action_->setChecked(overview_->isVisibleTo(&window_));
}

void OverviewPlace::toggle()
{
    const bool shown = overview_->isVisibleTo(&window_);
    album_.state().OverviewShown = !shown;
    // A maximised or full-screen window keeps its size: it is not widened, nor given width back.
    const bool sizedByItself = window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
    if (shown) {
        // The keyboard goes back where it was, not to a hidden widget.
        if (overview_->hasFocus())
            typedIn_ ? typedIn_->setFocus() : window_.setFocus();
        if (widenedBy_ > 0 && window_.width() == widenedTo_ && !sizedByItself)
            window_.resize(window_.width() - widenedBy_, window_.height());
        widenedBy_ = 0;
    } else if (!hasRoomIn(central_->size()) && !sizedByItself) {
        widen();
    }
    if (!shown)
        typedIn_ = QApplication::focusWidget();
    layOut();
    if (!shown && overview_->isVisible())
        overview_->setFocus();
}

void OverviewPlace::widen()
{
    const QRect screen = window_.screen()->availableGeometry();
    const int frame = window_.frameGeometry().width() - window_.width();
    const int wantedCentral = kLeft + AlbumOverview::widthFor(3) + kMargin;
    const int width = std::min(window_.width() + wantedCentral - central_->width(), screen.width() - frame);
    if (width <= window_.width())
        return;
    widenedBy_ = width - window_.width();
    widenedTo_ = width;
    window_.resize(width, window_.height());
    if (window_.layout())
        window_.layout()->activate();  // the central widget takes the new width now
    // Within the screen: a window that now reaches past its right edge moves left.
    const int over = window_.frameGeometry().right() - screen.right();
    if (over > 0)
        window_.move(window_.pos() - QPoint(over, 0));
}

bool OverviewPlace::eventFilter(QObject* watched, QEvent* event)
{
    // Only the type is looked at first: other events come while the window is being destroyed.
    if (event->type() == QEvent::Resize && watched == central_)
        layOut();
    return QObject::eventFilter(watched, event);
}
