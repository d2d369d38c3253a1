#pragma once

#include "album/WorkingState.h"

class QWidget;

namespace settings {

// The settings file's name, kept in the program's working folder.
inline constexpr char SettingsFileName[] = "albisko.ini";

// Used at start-up when there is no settings file: both folders are the working folder and
// the last folder is kept.
void DefaultSettings(album::WorkingState& state);

}  // namespace settings
