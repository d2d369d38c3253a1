#pragma once

#include "album/WorkingState.h"

#include <QRect>
#include <QString>

class QWidget;
class TForm3;

// The settings file "albisko.ini" in the working folder the program started in (ProgramDir),
// written in UTF-8:
//
//   [config]                         [window]
//   SaveLastDir=yes|no               PositionLeft=<outer left edge of the main window>
//   LastDir=<AlbumDir>               PositionTop=<outer top edge>
//   DefaultDir=<DefaultDir>          Width=<outer width, window frame included>
//   AutoSave=yes|no                  Height=<outer height, window frame included>
//   AutoSaveValue=<minutes>          WindowState=Normal|Maximized
//
// The window's numbers are those of its outer frame, as the desktop shows it.
namespace settings {

// The settings file's name, kept in the program's working folder.
inline constexpr char SettingsFileName[] = "albisko.ini";

// ProgramDir + "/albisko.ini".
QString settingsPath(const album::WorkingState& state);

// Used at start-up when there is no settings file: both folders are the working folder and
// the last folder is kept.
void DefaultSettings(album::WorkingState& state);

// Reads the settings file into the state and the main window's state and placement, in this
// order: "SaveLastDir" (exactly "yes" or "no", else unchanged), "LastDir" (an existing folder,
// else empty), "DefaultDir" (an existing folder, else ProgramDir), "AutoSave" (as "SaveLastDir"),
// "AutoSaveValue" (minutes, 5 when missing), then "WindowState": "Maximized" or "maximized"
// maximises the window; "Normal" or "normal" places it by "PositionLeft", "PositionTop", "Width"
// and "Height"; anything else keeps the window's built-in placement. Value comparisons are
// case-sensitive.
//
// A value that should be a whole number and is not ("AutoSaveValue", or one of the four
// placement keys of a "Normal" window) is reported in the application's error box: once per
// load, for the first such value. "AutoSaveValue" then reads as 5, and a broken placement keeps
// the built-in one; the rest of the file is read as usual and nothing is raised.
//
// The placement is made safe: a size is brought within the extent of all screens together, and
// a window whose title bar would show on no screen is moved onto the primary screen.
void LoadSettings(album::WorkingState& state, QWidget& mainWindow);

// Writes the settings file, in this order: "config" "SaveLastDir" (settings window's CheckBoxAdr),
// "LastDir" (AlbumDir), "DefaultDir", "AutoSave" (CheckBoxSave), "AutoSaveValue" (SpinEditTime's
// value as typed); "window" "PositionLeft", "PositionTop", "Width", "Height" (the main window's
// current outer frame, its maximised bounds when maximised), "WindowState" ("Normal" for a normal
// or minimised window, "Maximized" for a maximised one, nothing for another state). Other entries
// of an existing file are kept. A file that cannot be written loses the settings silently: the
// writes from the failing one on are lost, and nothing is raised or shown.
void SaveSettings(const album::WorkingState& state, const TForm3& settingsWindow, const QWidget& mainWindow);

// The placement rule LoadSettings applies, given the outer rectangle read from the file and the
// height of the window's title bar: the rectangle to use. Exposed for tests of odd screen sets.
QRect safePlacement(QRect outer, int titleBarHeight, const QList<QRect>& screenAreas, const QRect& primaryArea);

}  // namespace settings
