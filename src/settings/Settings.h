#pragma once

#include "album/WorkingState.h"

class QWidget;
class TForm3;

namespace settings {

// The settings file's name, kept in the program's working folder.
inline constexpr char SettingsFileName[] = "albisko.ini";

// Used at start-up when there is no settings file: both folders are the working folder and
// the last folder is kept.
void DefaultSettings(album::WorkingState& state);

// Reads the settings file in the working folder into the state and the main window's placement.
void LoadSettings(album::WorkingState& state, QWidget& mainWindow);

// Writes the settings file from the settings window's controls and the main window.
// A file that cannot be written loses the settings silently.
void SaveSettings(const album::WorkingState& state, const TForm3& settingsWindow, const QWidget& mainWindow);

}  // namespace settings
