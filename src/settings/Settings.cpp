#include "settings/Settings.h"

namespace settings {

void DefaultSettings(album::WorkingState& state)
{
    state.DefaultDir = state.ProgramDir;
    state.AlbumDir = state.ProgramDir;
    state.SaveLastDir = true;
}

}  // namespace settings
