#include "settings/Settings.h"

#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolders.h"
#include "storage/ProfileFile.h"

#include <QPoint>

#include <algorithm>
#include <optional>

namespace settings {

namespace {

const QString kConfig = QStringLiteral("config");
const QString kWindow = QStringLiteral("window");
const QString kSpelling = QStringLiteral("spelling");  // newer than the rest: older versions ignore it
const QString kRecent = QStringLiteral("recent");      // likewise
const QString kBigPreview = QStringLiteral("bigpreview");  // likewise
const QString kOverview = QStringLiteral("overview");      // likewise
constexpr int kRecentAlbums = 8;
// The autosave interval of a first start, and of a file without one.
constexpr int kAutosaveMinutes = 5;

// Where the window opens when the file does not place it: its outer top-left corner.
constexpr QPoint kBuiltInPosition(244, 94);
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

}  // namespace

QString settingsPath(const album::WorkingState& state)
{
    return platform::joinPath(state.ProgramDir, QLatin1String(SettingsFileName));
}

void DefaultSettings(album::WorkingState& state)
{
    state.DefaultDir = platform::startFolder(state.ProgramDir);
    state.AlbumDir = state.DefaultDir;
    state.SaveLastDir = true;
    // A new user's first evening of typing must survive a crash: autosave starts switched on.
    // A settings file keeps whatever the user chose since.
    state.AutoSave = true;
    state.AutoSaveMinutes = kAutosaveMinutes;
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

WindowPlacement LoadSettings(album::WorkingState& state)
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
    state.DefaultDir = platform::folderExists(defaultDir) ? defaultDir : platform::startFolder(state.ProgramDir);
    readYesNo(read(kConfig, "AutoSave"), state.AutoSave);
    state.AutoSaveMinutes = numbers.read(kConfig, QStringLiteral("AutoSaveValue"), QString::number(kAutosaveMinutes))
                                .value_or(kAutosaveMinutes);
    readYesNo(read(kSpelling, "Check"), state.SpellCheck);
    state.RecentAlbums.clear();
    for (int i = 1; i <= kRecentAlbums; ++i) {
        const QString folder = ini.ReadString(kRecent, QStringLiteral("Album%1").arg(i), QString());
        if (!folder.isEmpty() && !state.RecentAlbums.contains(folder))
            state.RecentAlbums << folder;
    }

    state.OverviewShown.reset();
    if (const QString shown = read(kOverview, "Visible"); shown == QLatin1String("yes") || shown == QLatin1String("no"))
        state.OverviewShown = shown == QLatin1String("yes");
    state.BigPreviewPlace = QRect();
    if (ini.SectionExists(kBigPreview)) {
        const auto left = numbers.read(kBigPreview, QStringLiteral("PositionLeft"));
        const auto top = numbers.read(kBigPreview, QStringLiteral("PositionTop"));
        const auto width = numbers.read(kBigPreview, QStringLiteral("Width"));
        const auto height = numbers.read(kBigPreview, QStringLiteral("Height"));
        const auto bounded = [](int v) { return std::clamp(v, -kFarAway, kFarAway); };
        if (left && top && width && height && *width > 0 && *height > 0)
            state.BigPreviewPlace = QRect(bounded(*left), bounded(*top), bounded(*width), bounded(*height));
    }

    WindowPlacement placement;
    const QString windowState = read(kWindow, "WindowState");
    placement.maximised = windowState == QLatin1String("Maximized") || windowState == QLatin1String("maximized");
    if (windowState != QLatin1String("Normal") && windowState != QLatin1String("normal"))
        return placement;

    // A placement with a value that is no number is not used at all.
    int values[4] = {};
    const char* keys[4] = {"PositionLeft", "PositionTop", "Width", "Height"};
    for (int i = 0; i < 4; ++i) {
        const auto value = numbers.read(kWindow, QLatin1String(keys[i]));
        if (!value)
            return placement;
        values[i] = *value;
    }
    // The numbers are bounded before they make a rectangle, so that none overflows.
    const auto bounded = [](int v) { return std::clamp(v, -kFarAway, kFarAway); };
    placement.outer = QRect(bounded(values[0]), bounded(values[1]), bounded(values[2]), bounded(values[3]));
    return placement;
}

void SaveSettings(const album::WorkingState& state, const SettingsToSave& values)
{
    try {
        storage::ProfileFile ini(settingsPath(state), storage::Encoding::Utf8);
        try {
            ini.WriteString(kConfig, QStringLiteral("SaveLastDir"), yesNo(values.keepLastFolder));
            ini.WriteString(kConfig, QStringLiteral("LastDir"), state.AlbumDir);
            ini.WriteString(kConfig, QStringLiteral("DefaultDir"), state.DefaultDir);
            ini.WriteString(kConfig, QStringLiteral("AutoSave"), yesNo(values.autosave));
            ini.WriteString(kConfig, QStringLiteral("AutoSaveValue"), QString::number(values.intervalMinutes));

            ini.WriteString(kWindow, QStringLiteral("PositionLeft"), QString::number(values.outer.left()));
            ini.WriteString(kWindow, QStringLiteral("PositionTop"), QString::number(values.outer.top()));
            ini.WriteString(kWindow, QStringLiteral("Width"), QString::number(values.outer.width()));
            ini.WriteString(kWindow, QStringLiteral("Height"), QString::number(values.outer.height()));
            if (values.minimised || !(values.maximised || values.fullScreen))
                ini.WriteString(kWindow, QStringLiteral("WindowState"), QStringLiteral("Normal"));
            else if (values.maximised && !values.fullScreen)
                ini.WriteString(kWindow, QStringLiteral("WindowState"), QStringLiteral("Maximized"));
            // Written once it differs from the default (on), and kept up to date from then on.
            const QString absent(QChar(0x1));  // no value of the file is this
            if (!state.SpellCheck || ini.ReadString(kSpelling, QStringLiteral("Check"), absent) != absent)
                ini.WriteString(kSpelling, QStringLiteral("Check"), yesNo(state.SpellCheck));
            // Written once there is an album to list; every place then, so that none stays behind.
            if (!state.RecentAlbums.isEmpty() || ini.ReadString(kRecent, QStringLiteral("Album1"), absent) != absent) {
                for (int i = 1; i <= kRecentAlbums; ++i)
                    ini.WriteString(kRecent, QStringLiteral("Album%1").arg(i), state.RecentAlbums.value(i - 1));
            }
            // Written once the overview was switched.
            if (state.OverviewShown)
                ini.WriteString(kOverview, QStringLiteral("Visible"), yesNo(*state.OverviewShown));
            // Written once the big preview was shown.
            if (const QRect place = state.BigPreviewPlace; place.isValid()) {
                ini.WriteString(kBigPreview, QStringLiteral("PositionLeft"), QString::number(place.left()));
                ini.WriteString(kBigPreview, QStringLiteral("PositionTop"), QString::number(place.top()));
                ini.WriteString(kBigPreview, QStringLiteral("Width"), QString::number(place.width()));
                ini.WriteString(kBigPreview, QStringLiteral("Height"), QString::number(place.height()));
            }
        } catch (const storage::EIniFileException&) {
            // A value the file cannot hold: the writes after it are skipped, those before it kept.
        }
        ini.Flush();
    } catch (const storage::EIniFileException&) {
        // The settings are lost, silently: the program works on without them.
    }
}

}  // namespace settings
