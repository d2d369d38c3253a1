#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;
namespace album { class Album; }

// Albums opened from outside the window, through the Open sequence with the folder given in
// place of the picker's answer (the save question, the messages, all as Open has them):
// - `albisko FOLDER` or `albisko PHOTO.jpg`: a photo opens its folder at that photo; a path
//   that is neither is named in a Czech warning, and the window stays as it is (empty at
//   start-up);
// - a folder, or a photo (its folder, at that photo), dropped onto the main window.
void openFromCommandLine(album::Album& album, const QString& path);
// Whether a dropped path opens an album, and which folder: the folder itself, or a photo's.
QString folderOfDrop(const QString& path);
// Drops onto `window` open their album in `album`.
void openDroppedAlbums(QWidget& window, album::Album& album);

// "Soubor > Nedávná alba": the last 8 albums opened (the state's RecentAlbums, kept in the
// settings file), newest first; a folder that is gone is listed disabled. Choosing one opens it
// through the Open sequence. The menu goes into `fileMenu` before `before`.
class RecentAlbums : public QObject {
public:
    RecentAlbums(album::Album& album, QMenu* fileMenu, QAction* before);
    QMenu* menu() const { return menu_; }

private:
    void fill();

    album::Album& album_;
    QMenu* menu_;
};
