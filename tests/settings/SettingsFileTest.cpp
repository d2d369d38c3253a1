// The settings file's values, read and written without any window.
#include "settings/Settings.h"
#include "support/Fixtures.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

}  // namespace

TEST(SettingsFile, ReadsEachValueByItsRule)
{
    TempFolder program;
    TempFolder other;
    const QString gone = other.file(QStringLiteral("pryč"));
    struct Case {
        const char* what;
        QString file;
        bool saveLastDir, autoSave;
        QString albumDir, defaultDir;
        int minutes;
        bool maximised;
        std::optional<QRect> outer;
        QStringList errors;
        QRect bigPreview = {};
        std::optional<bool> overview = std::nullopt;
    };
    const Case cases[] = {
        {"everything as written", QStringLiteral("[config]\nSaveLastDir=no\nLastDir=%1\nDefaultDir=%1\nAutoSave=yes\n"
                                                 "AutoSaveValue=12\n[window]\nPositionLeft=10\nPositionTop=20\n"
                                                 "Width=700\nHeight=600\nWindowState=Normal\n[bigpreview]\nPositionLeft=1300\n"
                                                 "PositionTop=40\nWidth=900\nHeight=700\n").arg(other.path()),
         false, true, other.path(), other.path(), 12, false, QRect(10, 20, 700, 600), {}, QRect(1300, 40, 900, 700)},
        {"only exact lower-case yes and no count; gone folders fall back",
         QStringLiteral("[config]\nSaveLastDir=No\nLastDir=%1\nDefaultDir=%1\nAutoSave=YES\n[window]\nWindowState=maximized\n")
             .arg(gone),
         true, false, QString(), program.path(), 5, true, std::nullopt, {}},
        {"no numbers: the first is reported, the interval is 5 and the placement none",
         QStringLiteral("[config]\nAutoSaveValue=pět\n[window]\nPositionLeft=x\nPositionTop=20\nWidth=700\nHeight=600\n"
                        "WindowState=normal\n"),
         true, false, QString(), program.path(), 5, false, std::nullopt, {"'pět' is not a valid integer value."}},
        {"a placement whose state is neither Normal nor Maximized is not read",
         QStringLiteral("[window]\nPositionLeft=x\nWindowState=NORMAL\n"), true, false, QString(), program.path(), 5,
         false, std::nullopt, {}},
        {"numbers far beyond any screen are bounded",
         QStringLiteral("[window]\nPositionLeft=-2147483648\nPositionTop=0\nWidth=2147483647\nHeight=10\nWindowState=Normal\n"),
         true, false, QString(), program.path(), 5, false, QRect(-(1 << 20), 0, 1 << 20, 10), {}},
        {"the overview switched off, switched on, or a value that is neither",
         QStringLiteral("[overview]\nVisible=no\n"), true, false, QString(), program.path(), 5, false, std::nullopt, {}, {}, false},
        {"", QStringLiteral("[overview]\nVisible=yes\n"), true, false, QString(), program.path(), 5, false, std::nullopt, {}, {},
         true},
        {"", QStringLiteral("[overview]\nVisible=No\n"), true, false, QString(), program.path(), 5, false, std::nullopt, {}},
        {"a big preview of no size is not placed",
         QStringLiteral("[bigpreview]\nPositionLeft=5\nPositionTop=5\nWidth=0\nHeight=300\n"), true, false, QString(),
         program.path(), 5, false, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedDialogs dialogs;
        album::WorkingState state;
        state.ProgramDir = program.path();
        state.SaveLastDir = true;
        writeBytes(settings::settingsPath(state), crlf(c.file.toUtf8()));
        const settings::WindowPlacement placement = settings::LoadSettings(state);
        EXPECT_EQ(state.SaveLastDir, c.saveLastDir);
        EXPECT_EQ(state.AutoSave, c.autoSave);
        EXPECT_EQ(state.AlbumDir, c.albumDir);
        EXPECT_EQ(state.DefaultDir, c.defaultDir);
        EXPECT_EQ(state.AutoSaveMinutes, c.minutes);
        EXPECT_EQ(placement.maximised, c.maximised);
        EXPECT_EQ(placement.outer, c.outer);
        EXPECT_EQ(dialogs.errors, c.errors);
        EXPECT_EQ(state.BigPreviewPlace, c.bigPreview);
        EXPECT_EQ(state.OverviewShown, c.overview);
    }
}

TEST(SettingsFile, WritesItsKeysInOrderAndKeepsTheFilesOthers)
{
    TempFolder program;
    album::WorkingState state;
    state.ProgramDir = program.path();
    state.AlbumDir = QStringLiteral("/alba/Tatry");
    state.DefaultDir = QStringLiteral("/alba");
    writeBytes(settings::settingsPath(state), crlf("[jine]\nklic=hodnota\n"));
    settings::SettingsToSave values;
    values.keepLastFolder = false;
    values.autosave = true;
    values.intervalMinutes = 7;
    values.outer = QRect(1, 2, 800, 600);
    values.maximised = true;
    values.minimised = true;  // minimised from the maximised state: stored as Normal
    settings::SaveSettings(state, values);
    EXPECT_EQ(readBytes(settings::settingsPath(state)),
              crlf("[jine]\nklic=hodnota\n[config]\nSaveLastDir=no\nLastDir=/alba/Tatry\nDefaultDir=/alba\nAutoSave=yes\n"
                   "AutoSaveValue=7\n[window]\nPositionLeft=1\nPositionTop=2\nWidth=800\nHeight=600\nWindowState=Normal\n"));

    values.minimised = false;
    settings::SaveSettings(state, values);
    EXPECT_TRUE(readBytes(settings::settingsPath(state)).endsWith("WindowState=Maximized\r\n"));
    values.fullScreen = true;  // neither: the entry there stays as it was
    settings::SaveSettings(state, values);
    EXPECT_TRUE(readBytes(settings::settingsPath(state)).endsWith("WindowState=Maximized\r\n"));
    // The overview's section once it was switched, after the window's.
    state.OverviewShown = false;
    settings::SaveSettings(state, values);
    EXPECT_TRUE(readBytes(settings::settingsPath(state)).endsWith("WindowState=Maximized\r\n[overview]\r\nVisible=no\r\n"));
}
