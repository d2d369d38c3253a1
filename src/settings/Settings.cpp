#include "settings/Settings.h"

#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "settings/TForm3.h"
#include "storage/ProfileFile.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace settings {

namespace {

const QString kConfig = QStringLiteral("config");
const QString kWindow = QStringLiteral("window");

// Where the window opens when the file does not place it: its outer top-left corner.
constexpr QPoint kBuiltInPosition(244, 94);
// The title bar's height where the window's frame is not known yet (before it is first shown).
constexpr int kNominalTitleBar = 24;
// How much of the title bar must lie on a screen for the user to grab it.
constexpr int kGripWidth = 48;
constexpr int kGripHeight = 8;
// Positions beyond this are nowhere near any screen; bounding them keeps the arithmetic exact.
constexpr int kFarAway = 1 << 20;

QString yesNo(bool yes)
{
    return yes ? QStringLiteral("yes") : QStringLiteral("no");
}

// Exactly "yes" or "no" sets the flag; anything else leaves it.
void readYesNo(const QString& text, bool& flag)
{
    if (text == QLatin1String("yes"))
        flag = true;
    else if (text == QLatin1String("no"))
        flag = false;
}

// Reads whole numbers; the first value of a load that is none is reported in the error box.
class NumberReader {
public:
    explicit NumberReader(storage::ProfileFile& ini) : ini_(ini) {}

    std::optional<int> read(const QString& section, const QString& key, const QString& defaultValue = {})
    {
        const QString text = ini_.ReadString(section, key, defaultValue);
        int value = 0;
        if (platform::tryStrToInt(text, value))
            return value;
        if (!reported_) {
            reported_ = true;
            platform::reportError(platform::ConversionError(text));
        }
        return std::nullopt;
    }

private:
    storage::ProfileFile& ini_;
    bool reported_ = false;
};

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

QString settingsPath(const album::WorkingState& state)
{
    return platform::joinPath(state.ProgramDir, QLatin1String(SettingsFileName));
}

void DefaultSettings(album::WorkingState& state)
{
    state.DefaultDir = state.ProgramDir;
    state.AlbumDir = state.ProgramDir;
    state.SaveLastDir = true;
}

QRect safePlacement(QRect outer, int titleBarHeight, const QList<QRect>& screenAreas, const QRect& primaryArea)
{
    if (screenAreas.isEmpty())
        return outer;
    QRect extent;
    for (const QRect& area : screenAreas)
        extent |= area;
    const int width = std::clamp(outer.width(), 1, std::max(1, extent.width()));
    const int height = std::clamp(outer.height(), 1, std::max(1, extent.height()));
    const int left = std::clamp(outer.left(), -kFarAway, kFarAway);
    const int top = std::clamp(outer.top(), -kFarAway, kFarAway);
    QRect placed(left, top, width, height);

    const QRect titleBar(left, top, width, std::max(1, titleBarHeight));
    const bool reachable = std::any_of(screenAreas.begin(), screenAreas.end(), [&](const QRect& area) {
        const QRect shown = titleBar.intersected(area);
        return shown.width() >= std::min(kGripWidth, titleBar.width())
            && shown.height() >= std::min(kGripHeight, titleBar.height());
    });
    if (!reachable) {
        // Where a fresh start opens it, drawn in so that as much of the window shows as can.
        const int x = std::clamp(kBuiltInPosition.x(), 0, std::max(0, primaryArea.width() - width));
        const int y = std::clamp(kBuiltInPosition.y(), 0, std::max(0, primaryArea.height() - height));
        placed.moveTopLeft(primaryArea.topLeft() + QPoint(x, y));
    }
    return placed;
}

void LoadSettings(album::WorkingState& state, QWidget& mainWindow)
{
    storage::ProfileFile ini(settingsPath(state), storage::Encoding::Utf8);
    NumberReader numbers(ini);
    auto read = [&ini](const QString& section, const char* key) {
        return ini.ReadString(section, QLatin1String(key), QString());
    };

    readYesNo(read(kConfig, "SaveLastDir"), state.SaveLastDir);
    const QString lastDir = read(kConfig, "LastDir");
    state.AlbumDir = platform::folderExists(lastDir) ? lastDir : QString();
    const QString defaultDir = read(kConfig, "DefaultDir");
    state.DefaultDir = platform::folderExists(defaultDir) ? defaultDir : state.ProgramDir;
    readYesNo(read(kConfig, "AutoSave"), state.AutoSave);
    state.AutoSaveMinutes = numbers.read(kConfig, QStringLiteral("AutoSaveValue"), QStringLiteral("5")).value_or(5);

    const QString windowState = read(kWindow, "WindowState");
    if (windowState == QLatin1String("Maximized") || windowState == QLatin1String("maximized"))
        mainWindow.setWindowState((mainWindow.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    if (windowState != QLatin1String("Normal") && windowState != QLatin1String("normal"))
        return;

    // A placement with a value that is no number is not used at all.
    int values[4] = {};
    const char* keys[4] = {"PositionLeft", "PositionTop", "Width", "Height"};
    for (int i = 0; i < 4; ++i) {
        const auto value = numbers.read(kWindow, QLatin1String(keys[i]));
        if (!value)
            return;
        values[i] = *value;
    }
    // The numbers are bounded before they make a rectangle, so that none overflows.
    const auto bounded = [](int v) { return std::clamp(v, -kFarAway, kFarAway); };
    QRect outer(bounded(values[0]), bounded(values[1]), bounded(values[2]), bounded(values[3]));
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
    placeOuter(mainWindow, safePlacement(outer, titleBar, areas, primaryArea));
}

void SaveSettings(const album::WorkingState& state, const TForm3& settingsWindow, const QWidget& mainWindow)
{
    try {
        storage::ProfileFile ini(settingsPath(state), storage::Encoding::Utf8);
        ini.WriteString(kConfig, QStringLiteral("SaveLastDir"), yesNo(settingsWindow.keepLastFolder()));
        ini.WriteString(kConfig, QStringLiteral("LastDir"), state.AlbumDir);
        ini.WriteString(kConfig, QStringLiteral("DefaultDir"), state.DefaultDir);
        ini.WriteString(kConfig, QStringLiteral("AutoSave"), yesNo(settingsWindow.autosaveTicked()));
        ini.WriteString(kConfig, QStringLiteral("AutoSaveValue"), QString::number(settingsWindow.intervalMinutes()));

        const QRect outer = mainWindow.frameGeometry();
        ini.WriteString(kWindow, QStringLiteral("PositionLeft"), QString::number(outer.left()));
        ini.WriteString(kWindow, QStringLiteral("PositionTop"), QString::number(outer.top()));
        ini.WriteString(kWindow, QStringLiteral("Width"), QString::number(outer.width()));
        ini.WriteString(kWindow, QStringLiteral("Height"), QString::number(outer.height()));
        const Qt::WindowStates windowState = mainWindow.windowState();
        if (windowState & Qt::WindowMinimized || !(windowState & (Qt::WindowMaximized | Qt::WindowFullScreen)))
            ini.WriteString(kWindow, QStringLiteral("WindowState"), QStringLiteral("Normal"));
        else if (windowState & Qt::WindowMaximized && !(windowState & Qt::WindowFullScreen))
            ini.WriteString(kWindow, QStringLiteral("WindowState"), QStringLiteral("Maximized"));
        ini.Flush();
    } catch (const storage::EIniFileException&) {
        // The settings are lost, silently: the program works on without them.
    }
}

}  // namespace settings
