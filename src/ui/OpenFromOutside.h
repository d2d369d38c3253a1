#pragma once

#include <QString>

class TForm1;

// Albums opened from outside the window, through the Open sequence with the folder given in
// place of the picker's answer (the save question, the messages, all as Open has them):
// - `albisko FOLDER`: a path that is no folder is named in a Czech warning; the window stays
//   as it is (empty at start-up);
// - a folder, or a photo (meaning its folder), dropped onto the main window.
void openFromCommandLine(TForm1& window, const QString& path);
// Whether a dropped path opens an album, and which folder: the folder itself, or a photo's.
QString folderOfDrop(const QString& path);
void openDroppedAlbums(TForm1& window);
