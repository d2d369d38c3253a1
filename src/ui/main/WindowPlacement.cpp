#include "ui/main/WindowPlacement.h"


#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// The title bar's height where the window's frame is not known yet (before it is first shown).
constexpr int kNominalTitleBar = 24;

// The window frame's extent on each side: known once the window has been shown, none before.
QMargins frameOf(const QWidget& window)
{
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom());
}

QSize frameExtra(const QMargins& frame)
{
    return QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
}

// Qt sizes a window by its inside, the file holds its outside. Before the window is first shown
// its frame is not known, so the inside is first given the whole outer size and fitted here, once,
// as soon as the frame appears. A window maximised or made full-screen before that keeps its size.
class OuterSizeFitter final : public QObject {
public:
    OuterSizeFitter(QWidget& window, QSize outer) : QObject(&window), window_(window), outer_(outer)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &window_)
            return false;
        switch (event->type()) {
        case QEvent::WindowStateChange:
            if (window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
                finish();
            return false;
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
            break;
        default:
            return false;
        }
        if (!window_.isVisible() || window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
            return false;
        const QSize extra = frameExtra(frameOf(window_));
        if (extra.width() <= 0 && extra.height() <= 0)
            return false;
        finish();
        window_.resize(outer_ - extra);
        return false;
    }

private:
    void finish()
    {
        window_.removeEventFilter(this);
        deleteLater();
    }

    QWidget& window_;
    QSize outer_;
};

// Places the window's outer frame at `outer`.
void placeOuter(QWidget& window, const QRect& outer)
{
    const QSize extra = frameExtra(frameOf(window));
    window.move(outer.topLeft());  // a window's position is that of its frame
    window.resize(outer.size() - extra);
    if (extra.isNull())
        new OuterSizeFitter(window, outer.size());
}

}  // namespace

void placeMainWindow(QWidget& mainWindow, const settings::WindowPlacement& placement)
{
    if (placement.maximised)
        mainWindow.setWindowState((mainWindow.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    if (!placement.outer)
        return;
    QRect outer = *placement.outer;
    // No smaller than the window can be; the window's own limit applies to its inside.
    const QSize extra = frameExtra(frameOf(mainWindow));
    outer.setWidth(std::max(outer.width(), mainWindow.minimumWidth() + extra.width()));
    outer.setHeight(std::max(outer.height(), mainWindow.minimumHeight() + extra.height()));

    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect primaryArea = primary ? primary->availableGeometry() : QRect();
    const int titleBar = std::max(frameOf(mainWindow).top(), kNominalTitleBar);
    placeOuter(mainWindow, settings::safePlacement(outer, titleBar, areas, primaryArea));
}

void saveProgramSettings(const album::WorkingState& state, settings::SettingsToSave values, const QWidget& mainWindow)
{
    values.outer = mainWindow.frameGeometry();
    const Qt::WindowStates windowState = mainWindow.windowState();
    values.minimised = windowState & Qt::WindowMinimized;
    values.maximised = windowState & Qt::WindowMaximized;
    values.fullScreen = windowState & Qt::WindowFullScreen;
    settings::SaveSettings(state, values);
}
