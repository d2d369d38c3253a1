#pragma once

#include "album/WorkingState.h"

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

// The settings file "albisko.ini" in the folder the program works in (ProgramDir: the folder it
// was started in, or the user's folder for an installed program, see platform/ProgramFolders),
// written in UTF-8:
//
//   [config]                         [window]
//   SaveLastDir=yes|no               PositionLeft=<outer left edge of the main window>
//   LastDir=<AlbumDir>               PositionTop=<outer top edge>
//   DefaultDir=<DefaultDir>          Width=<outer width, window frame included>
//   AutoSave=yes|no                  Height=<outer height, window frame included>
//   AutoSaveValue=<minutes>          WindowState=Normal|Maximized
//   [spelling]
//   Check=yes|no   (written once it is "no", or when the file has it; missing reads as yes)
//   [recent]
//   Album1=<the album opened last> ... Album8   (written once there is one)
//
// The window's numbers are those of its outer frame, as the desktop shows it. This reads and
// writes the values only; placing the main window by them is the window's (ui/main/WindowPlacement).
namespace settings {

// The settings file's name, kept in the program's working folder.
inline constexpr char SettingsFileName[] = "albisko.ini";

// ProgramDir + "/albisko.ini".
QString settingsPath(const album::WorkingState& state);

// Used at start-up when there is no settings file: both folders are where the first Open starts
// (platform::startFolder: ProgramDir, or the pictures folder of an installed program), the last
// folder is kept, and autosave is on every 5 minutes.
void DefaultSettings(album::WorkingState& state);

// The main window as the file places it.
struct WindowPlacement {
    bool maximised = false;      // "WindowState" is "Maximized" or "maximized"
    std::optional<QRect> outer;  // "Normal" or "normal" with four whole numbers: the outer frame
};

// Reads the settings file into the state, in this order: "SaveLastDir" (exactly "yes" or "no",
// else unchanged), "LastDir" (an existing folder, else empty), "DefaultDir" (an existing folder,
// else platform::startFolder), "AutoSave" (as "SaveLastDir"), "AutoSaveValue" (minutes, 5 when
// missing);
// then returns the main window's placement by "WindowState" and, for a "Normal" window,
// "PositionLeft", "PositionTop", "Width" and "Height" (numbers bounded so that no rectangle
// overflows). Value comparisons are case-sensitive.
//
// A value that should be a whole number and is not ("AutoSaveValue", or one of the four
// placement keys of a "Normal" window) is reported in the application's error box: once per
// load, for the first such value. "AutoSaveValue" then reads as 5, and a broken placement gives
// none; the rest of the file is read as usual and nothing is raised.
WindowPlacement LoadSettings(album::WorkingState& state);

// What the settings file stores of the settings window and of the main window.
struct SettingsToSave {
    bool keepLastFolder = true;  // the settings window's CheckBoxAdr
    bool autosave = false;       // CheckBoxSave
    int intervalMinutes = 5;     // SpinEditTime's value as typed
    QRect outer;                 // the main window's current outer frame (maximised bounds when maximised)
    bool minimised = false;
    bool maximised = false;
    bool fullScreen = false;
};

// Writes the settings file, in this order: "config" "SaveLastDir", "LastDir" (AlbumDir),
// "DefaultDir", "AutoSave", "AutoSaveValue"; "window" "PositionLeft", "PositionTop", "Width",
// "Height", "WindowState" ("Normal" for a normal or minimised window, "Maximized" for a maximised
// one, nothing for another state). Other entries of an existing file are kept. A file that cannot
// be written loses the settings silently: the writes from the failing one on are lost, and
// nothing is raised or shown.
void SaveSettings(const album::WorkingState& state, const SettingsToSave& values);

// The placement rule applied to a placement read from the file, given the outer rectangle, the
// height of the window's title bar and the screens: the rectangle to use. A size is brought
// within the extent of all screens together, and a window whose title bar would show on no
// screen is moved onto the primary screen.
QRect safePlacement(QRect outer, int titleBarHeight, const QList<QRect>& screenAreas, const QRect& primaryArea);

}  // namespace settings
