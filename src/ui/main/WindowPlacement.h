#pragma once

#include "album/WorkingState.h"
#include "settings/Settings.h"

class QWidget;

// The main window placed as the settings file says (settings::LoadSettings): maximised, or its
// outer frame put where the file has it, made safe for the screens there are now
// (settings::safePlacement). No placement keeps the window's built-in one.
void placeMainWindow(QWidget& mainWindow, const settings::WindowPlacement& placement);

// Writes the settings file with the settings window's `choices` and the main window as it is now.
void saveProgramSettings(const album::WorkingState& state, settings::SettingsToSave choices, const QWidget& mainWindow);
