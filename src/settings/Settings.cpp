#include "settings/Settings.h"

namespace settings {

void DefaultSettings(album::WorkingState& state)
{
    state.DefaultDir = state.ProgramDir;
    state.AlbumDir = state.ProgramDir;
    state.SaveLastDir = true;
}

}  // namespace settings

namespace settings {

void LoadSettings(album::WorkingState&, QWidget&)
{
}

void SaveSettings(const album::WorkingState&, const TForm3&, const QWidget&)
{
}

}  // namespace settings
