#pragma once

#include "storage/ProfileFile.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

namespace album {

// What the program knows about the open album besides the captions themselves (album::Album holds it).
struct WorkingState {
    int CurrentRow = 0;             // index of the photo shown
    bool AlbumOpen = false;         // the last Open found at least one photo
    bool CaptionFileFound = false;  // "info.txt" existed when the folder was opened
    // The encoding of the album's caption files: that of "info.txt" as Open found it.
    storage::Encoding CaptionEncoding = storage::Encoding::Windows1250;
    bool Modified = false;          // captions changed since the last save to "info.txt"
    bool RightsCascade = false;     // set while the album's right is pushed to every photo
    QString AutosaveDir;            // folder of the autosave target
    QString AutosaveName;           // file name of the autosave target
    QString ProgramDir;             // the folder the program works in (platform::programFolder): settings, word list
    QString AlbumDir;               // folder of the open album; where the next Open starts
    QString DefaultDir;             // the default folder setting
    bool SaveLastDir = false;       // keep the last folder (as read at start-up)
    bool AutoSave = false;          // autosave switched on
    bool SpellCheck = true;         // spelling checked in the caption fields (where a dictionary is)
    QStringList RecentAlbums;       // the last albums opened, newest first, at most 8
    int AutoSaveMinutes = 0;        // autosave interval
    // The user wants the album's overview where the main window has room for it; none until
    // the user switched it (it is then shown).
    std::optional<bool> OverviewShown;
    QRect BigPreviewPlace;          // the big preview window: outer top-left, inner size; null before it was shown
};

}  // namespace album
